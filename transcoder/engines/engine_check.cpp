#include "engines/engine_check.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

std::vector<RequiredEngine> enginesFor(Target target) {
    std::vector<RequiredEngine> engines = {{"ffmpeg", "ffmpeg"}};
    if (target == Target::Mp3) {
        engines.push_back({"lame", "lame"});
    } else if (target == Target::Ogg) {
        engines.push_back({"oggenc", "vorbis-tools"});
    }
    return engines;
}

bool foundInSearchPath(const std::string& program, const std::string& searchPath) {
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = searchPath.find(':', begin);
        const std::string folder = searchPath.substr(begin, end - begin);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            return false;
        }
        begin = end + 1;
    }
}

std::optional<RequiredEngine> firstMissingEngine(Target target) {
    std::string searchPath;
    if (const char* path = std::getenv("PATH")) {
        searchPath = path;
    } else {
        searchPath.resize(::confstr(_CS_PATH, nullptr, 0));
        ::confstr(_CS_PATH, searchPath.data(), searchPath.size());
        searchPath.resize(searchPath.empty() ? 0 : searchPath.size() - 1);
    }
    for (const RequiredEngine& engine : enginesFor(target)) {
        if (!foundInSearchPath(engine.program, searchPath)) {
            return engine;
        }
    }
    return std::nullopt;
}

} // namespace cantova
