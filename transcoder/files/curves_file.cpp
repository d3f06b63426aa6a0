#include "files/curves_file.h"

#include "files/file_identity.h"
#include "files/hidden_names.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCurvesHead = "cantova-loudness ";

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw std::runtime_error(path + ": " + why);
}

// Whether path is a curves file an earlier job wrote: a regular file of this user, opened
// without following a link or waiting on a FIFO, that begins as such files do.
bool isEarlierCurvesFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    char head[kCurvesHead.size()];
    const bool earlier = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                         status.st_uid == ::geteuid() && status.st_nlink == 1 &&
                         ::read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head) &&
                         std::string_view(head, sizeof head) == kCurvesHead;
    ::close(fd);
    return earlier;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            errno = count < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace

std::string curvesFilePath(const std::string& logPath, const std::string& outputPath) {
    const fs::path log = fs::absolute(logPath);
    const std::string name =
        log.stem().string() + "." + fs::path(outputPath).filename().string() + ".loudness";
    return (log.parent_path() / name).string();
}

void writeCurvesFile(const std::string& path, const std::string& text) {
    std::random_device seed;
    std::mt19937 numbers(seed());
    std::string hidden;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        hidden = hiddenNameBeside(path, "part", ::getpid(), numbers() % 1000000);
        fd = ::open(hidden.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            fail(path, std::strerror(errno));
        }
    }
    if (fd < 0) {
        fail(path, std::strerror(EEXIST));
    }
    const bool written = writeAll(fd, text);
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(hidden.c_str());
        fail(path, std::strerror(written ? errno : writeError));
    }
    int error = renameWithoutReplacing(hidden, path);
    if (error == EEXIST) {
        if (!isEarlierCurvesFile(path)) {
            ::unlink(hidden.c_str());
            fail(path, "a file that is no loudness curves file of the transcoder is there");
        }
        error = ::rename(hidden.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
    if (error != 0) {
        ::unlink(hidden.c_str());
        fail(path, std::strerror(error));
    }
}

void removeCurvesFile(const std::string& path) {
    if (isEarlierCurvesFile(path)) {
        ::unlink(path.c_str());
    }
}

} // namespace cantova
