#include "open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tracklens {

OpenFile::OpenFile(const char* path) {
    if (path == nullptr) {
        return;
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer; O_NOCTTY keeps a terminal from
    // becoming the caller's controlling terminal. The kind is told from the open descriptor, so
    // it is the file that is then read; reads of a regular file go back to waiting for data.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(status.st_size);
}

OpenFile::~OpenFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool OpenFile::ReadAt(std::uint64_t offset, void* out, std::size_t size) const {
    auto* bytes = static_cast<char*>(out);
    while (size > 0) {
        const ssize_t got = pread(fd_, bytes, size, static_cast<off_t>(offset));
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

} // namespace tracklens
