#include "settings/atomic_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova::settings {

namespace {

// The path that is really replaced: the target of a symbolic link, else the path itself.
std::string ResolvedTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

// Permission bits for the new file: those of the existing file, else what a plain create gives.
mode_t PermissionsFor(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = ResolvedTarget(path);
    struct stat info {};
    if (stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return false;
    }
    std::string temporary = target + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const bool written =
        fchmod(fd, PermissionsFor(target)) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace cantova::settings
