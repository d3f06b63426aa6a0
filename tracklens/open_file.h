#pragma once

// A file opened read-only for one call, closed when it goes out of scope.

#include <cstddef>
#include <cstdint>

namespace tracklens {

class OpenFile {
public:
    explicit OpenFile(const char* path);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // Size in bytes; 0 when it cannot be told.
    std::uint64_t Size() const;
    // Reads exactly size bytes at offset; false when the file has fewer there or reading fails.
    bool ReadAt(std::uint64_t offset, void* out, std::size_t size) const;

private:
    int fd_;
};

} // namespace tracklens
