#pragma once

#include <cstdint>
#include <optional>

namespace tracklens {

// Size in bytes of the regular file at path; nothing when it cannot be opened (see OpenFile) or
// the size does not fit in a 32-bit signed value.
std::optional<std::int32_t> FileSize(const char* path);

} // namespace tracklens
