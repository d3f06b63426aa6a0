#include "file_size.h"

#include "open_file.h"

#include <limits>

namespace tracklens {

std::optional<std::int32_t> FileSize(const char* path) {
    const OpenFile file(path);
    if (!file.IsOpen() ||
        file.Size() > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(file.Size());
}

} // namespace tracklens
