#include "settings/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cantova::settings {

namespace {

// Closes the descriptor when the read is over.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

} // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    using Status = RegularFileRead::Status;
    RegularFileRead result;
    // Opening a pipe without a writer would wait; with O_NONBLOCK it returns at once.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0) {
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = Status::NotARegularFile;
        return result;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        result.status = Status::TooLarge;
        return result;
    }
    // The file may grow while it is read: one byte more than the cap tells. The buffer starts at
    // the size the file has (a buffer of the cap would be cleared on every read, a megabyte for
    // a settings file of a few hundred bytes) and grows up to the cap while the file does.
    std::string content(std::min(static_cast<std::size_t>(info.st_size), maxBytes) + 1, '\0');
    std::size_t filled = 0;
    while (filled <= maxBytes) {
        if (filled == content.size()) {
            content.resize(std::min(content.size() * 2, maxBytes + 1));
        }
        const ssize_t got = read(file.fd, content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return result;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    if (filled > maxBytes) {
        result.status = Status::TooLarge;
        return result;
    }
    content.resize(filled);
    result.status = Status::Read;
    result.content = std::move(content);
    return result;
}

} // namespace cantova::settings
