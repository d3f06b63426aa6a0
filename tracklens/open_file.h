#pragma once

// A regular file opened read-only for one call, closed when it goes out of scope.

#include <cstddef>
#include <cstdint>

namespace tracklens {

class OpenFile {
public:
    // Opens only a regular file, after following symbolic links. A folder, a FIFO, a device or
    // a socket is left closed without being read, and opening never waits (a FIFO without a
    // writer does not block). A null path is left closed.
    explicit OpenFile(const char* path);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // Size in bytes when the file was opened.
    std::uint64_t Size() const { return size_; }
    // Reads exactly size bytes at offset; false when the file has fewer there or reading fails.
    bool ReadAt(std::uint64_t offset, void* out, std::size_t size) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace tracklens
