#include "app/engines.h"

#include <unistd.h>

#include <sys/stat.h>

namespace cantova::app {

namespace {

const std::vector<Engine>& Engines() {
    static const std::vector<Engine> engines{
        {"ffmpeg", "ffmpeg"}, {"lame", "lame"}, {"oggenc", "vorbis-tools"}};
    return engines;
}

bool ExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

bool Found(const std::string& program, const std::string& searchPath) {
    for (std::size_t at = 0; at <= searchPath.size();) {
        const std::size_t colon = std::min(searchPath.find(':', at), searchPath.size());
        // An empty entry is the current folder, as the search treats it.
        const std::string folder = colon == at ? "." : searchPath.substr(at, colon - at);
        if (ExecutableFile(folder + "/" + program)) {
            return true;
        }
        at = colon + 1;
    }
    return false;
}

} // namespace

std::vector<Engine> MissingEngines(const char* searchPath) {
    const std::string path = searchPath != nullptr ? searchPath : "/bin:/usr/bin";
    std::vector<Engine> missing;
    for (const Engine& engine : Engines()) {
        if (!Found(engine.program, path)) {
            missing.push_back(engine);
        }
    }
    return missing;
}

std::optional<std::string> MissingEnginesNotice(const std::vector<Engine>& missing) {
    if (missing.empty()) {
        return std::nullopt;
    }
    std::string text = "The transcoder cannot run jobs that need these programs, which are not "
                       "installed (not found on the search path PATH):";
    std::string packages;
    for (const Engine& engine : missing) {
        text += "\n" + engine.program + " (Debian package " + engine.package + ")";
        packages += " " + engine.package;
    }
    return text + "\nInstall them, for instance with: sudo apt install" + packages;
}

} // namespace cantova::app
