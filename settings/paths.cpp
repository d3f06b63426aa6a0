#include "settings/paths.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cantova::settings {

std::string ShortPathOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? path : std::string();
}

bool FileExist(const std::string& path) {
    // O_NONBLOCK keeps a named pipe without writer from blocking the test.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool isFile = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    close(fd);
    return isFile;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    while ((error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (error != 0 || found == nullptr || found->pw_dir == nullptr) {
        return {};
    }
    return found->pw_dir;
}

std::string StateFolder() {
    // A relative value is to be ignored, as if it were not set.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        return std::string(state) + "/cantova";
    }
    return HomeFolder() + "/.local/state/cantova";
}

std::string ConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::string(config) + "/cantova";
    }
    return HomeFolder() + "/.config/cantova";
}

std::string TranscoderLogPath() {
    return HomeFolder() + "/Audio_Stream.log";
}

std::string ProgramFolder() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            const std::string executable(buffer.data(), static_cast<std::size_t>(length));
            return executable.substr(0, executable.rfind('/'));
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool DeleteFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

} // namespace cantova::settings
