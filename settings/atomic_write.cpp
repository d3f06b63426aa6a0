#include "settings/atomic_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
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

// Creates a new, unused file next to target for writing. Created with mode 0666 so that the
// process's umask applies as for any new file. The name is short whatever the target's name.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
    static unsigned counter = 0;
    const auto slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + ".cantova-" + std::to_string(getpid()) + "-" +
                    std::to_string(++counter) + ".tmp";
        const int fd =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
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

CreateResult CreateFileExclusively(const std::string& path, std::string_view content, Flush flush) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return errno == EEXIST ? CreateResult::NameTaken : CreateResult::Failed;
    }
    const bool written = WriteAll(fd, content) && (flush == Flush::Later || fsync(fd) == 0);
    if (close(fd) != 0 || !written) {
        unlink(path.c_str());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

bool FlushFileSystemOf(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = syncfs(fd) == 0;
    close(fd);
    return flushed;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = ResolvedTarget(path);
    struct stat info {};
    const bool exists = stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        return false;
    }
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        return false;
    }
    const bool written = (!exists || fchmod(fd, info.st_mode & 07777) == 0) &&
                         WriteAll(fd, content) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace cantova::settings
