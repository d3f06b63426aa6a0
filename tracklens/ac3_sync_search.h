#pragma once

// Search for the AC3 sync word 0x0B77 at any bit offset of a byte string.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tracklens {

inline constexpr std::uint16_t kAc3SyncWord = 0x0B77;

// The smallest bit offset at or after firstBit (counted from the most significant bit of data[0])
// at which 16 bits equal the sync word and lie wholly inside the size bytes; nothing when there is
// none. Costs a table look-up per byte, not work per bit.
std::optional<std::uint64_t> FindAc3SyncWord(const std::uint8_t* data, std::size_t size,
                                             std::uint64_t firstBit);

} // namespace tracklens
