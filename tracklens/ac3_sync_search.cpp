#include "ac3_sync_search.h"

#include <array>

namespace tracklens {

namespace {

// A sync word starting at bit s (0 to 7) of byte k covers byte k + 1 whole, and that byte then
// equals (sync >> s) & 0xFF. The table gives, for each byte value, the set of shifts s (bit s of
// the entry) under which it can be that middle byte.
constexpr std::array<std::uint8_t, 256> MiddleByteShifts() {
    std::array<std::uint8_t, 256> shifts{};
    for (unsigned s = 0; s < 8; ++s) {
        shifts[(kAc3SyncWord >> s) & 0xFF] |= static_cast<std::uint8_t>(1u << s);
    }
    return shifts;
}

constexpr std::array<std::uint8_t, 256> kMiddleByteShifts = MiddleByteShifts();

// Checks the candidates whose middle byte is data[middle]; returns the smallest matching offset.
std::optional<std::uint64_t> CheckCandidates(const std::uint8_t* data, std::size_t size,
                                             std::size_t middle, std::uint64_t firstBit) {
    const std::uint32_t next = middle + 1 < size ? data[middle + 1] : 0;
    const std::uint32_t bits24 =
        (std::uint32_t{data[middle - 1]} << 16) | (std::uint32_t{data[middle]} << 8) | next;
    const std::uint64_t sizeBits = std::uint64_t{size} * 8;
    for (unsigned s = 0; s < 8; ++s) {
        if ((kMiddleByteShifts[data[middle]] & (1u << s)) == 0) {
            continue;
        }
        const std::uint64_t offset = std::uint64_t{middle - 1} * 8 + s;
        if (offset < firstBit || offset + 16 > sizeBits) {
            continue;
        }
        if (((bits24 >> (8 - s)) & 0xFFFF) == kAc3SyncWord) {
            return offset;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> FindAc3SyncWord(const std::uint8_t* data, std::size_t size,
                                             std::uint64_t firstBit) {
    if (size < 2) {
        return std::nullopt;
    }
    // Middle bytes of words starting at or after firstBit; earlier ones are skipped by the check.
    std::size_t middle = static_cast<std::size_t>(firstBit / 8) + 1;
    // Eight bytes at a time while none of them can be a middle byte.
    while (middle + 8 <= size) {
        const std::uint8_t* p = data + middle;
        const unsigned any = kMiddleByteShifts[p[0]] | kMiddleByteShifts[p[1]] |
                             kMiddleByteShifts[p[2]] | kMiddleByteShifts[p[3]] |
                             kMiddleByteShifts[p[4]] | kMiddleByteShifts[p[5]] |
                             kMiddleByteShifts[p[6]] | kMiddleByteShifts[p[7]];
        if (any == 0) {
            middle += 8;
            continue;
        }
        for (std::size_t end = middle + 8; middle < end; ++middle) {
            if (kMiddleByteShifts[data[middle]] != 0) {
                if (auto offset = CheckCandidates(data, size, middle, firstBit)) {
                    return offset;
                }
            }
        }
    }
    for (; middle < size; ++middle) {
        if (kMiddleByteShifts[data[middle]] != 0) {
            if (auto offset = CheckCandidates(data, size, middle, firstBit)) {
                return offset;
            }
        }
    }
    return std::nullopt;
}

} // namespace tracklens
