#pragma once

// Reading a whole settings file without the risks of its kind or size: only a regular file is
// read (a pipe or a device is never waited on), and only up to a cap.

#include <cstddef>
#include <string>

namespace cantova::settings {

// Settings files are a few KiB; anything much larger is not one of them.
inline constexpr std::size_t kMaxSettingsFileSize = 1024 * 1024;

struct RegularFileRead {
    enum class Status { Read, CannotOpen, NotARegularFile, TooLarge };
    Status status = Status::CannotOpen;
    std::string content;
};

// The content of the file at path (a link is followed) when it is a regular file of at most
// maxBytes bytes that could be read to its end.
RegularFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes);

} // namespace cantova::settings
