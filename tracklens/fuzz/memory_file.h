#pragma once

// A file in memory that the parsers open by path, filled anew for each fuzz input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("tracklens-fuzz", 0)) {
        if (fd_ < 0) {
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }

    // Replaces the content; the path then reads as exactly these bytes.
    const char* Hold(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0 ||
            (size > 0 && pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        return path_.c_str();
    }

private:
    int fd_;
    std::string path_;
};
