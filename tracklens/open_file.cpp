#include "open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tracklens {

OpenFile::OpenFile(const char* path)
    : fd_(path == nullptr ? -1 : open(path, O_RDONLY | O_CLOEXEC)) {}

OpenFile::~OpenFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::uint64_t OpenFile::Size() const {
    struct stat status {};
    if (fstat(fd_, &status) != 0 || status.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(status.st_size);
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
