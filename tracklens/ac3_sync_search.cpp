#include "ac3_sync_search.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Sixteen middle bytes at a time. For each shift s the middle byte must be (sync >> s) & 0xFF and
// the low 8 - s bits of the byte before it the top 8 - s bits of the sync word; only the rare
// positions that pass both are checked whole, in order.
std::optional<std::uint64_t> SearchSixteenAtATime(const std::uint8_t* data, std::size_t size,
                                                  std::size_t& middle, std::uint64_t firstBit) {
    __m128i middles[8];
    __m128i firstMasks[8];
    __m128i firsts[8];
    for (unsigned s = 0; s < 8; ++s) {
        middles[s] = _mm_set1_epi8(static_cast<char>((kAc3SyncWord >> s) & 0xFF));
        firstMasks[s] = _mm_set1_epi8(static_cast<char>((1u << (8 - s)) - 1));
        firsts[s] = _mm_set1_epi8(static_cast<char>(kAc3SyncWord >> (8 + s)));
    }
    for (; middle + 16 <= size; middle += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + middle));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + middle - 1));
        __m128i any = _mm_setzero_si128();
        for (unsigned s = 0; s < 8; ++s) {
            const __m128i middleFits = _mm_cmpeq_epi8(bytes, middles[s]);
            const __m128i firstFits =
                _mm_cmpeq_epi8(_mm_and_si128(before, firstMasks[s]), firsts[s]);
            any = _mm_or_si128(any, _mm_and_si128(middleFits, firstFits));
        }
        for (unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(any)); hits != 0;
             hits &= hits - 1) {
            const std::size_t at = middle + static_cast<std::size_t>(__builtin_ctz(hits));
            if (auto offset = CheckCandidates(data, size, at, firstBit)) {
                return offset;
            }
        }
    }
    return std::nullopt;
}
#endif

} // namespace

std::optional<std::uint64_t> FindAc3SyncWord(const std::uint8_t* data, std::size_t size,
                                             std::uint64_t firstBit) {
    if (size < 2) {
        return std::nullopt;
    }
    // Middle bytes of words starting at or after firstBit; earlier ones are skipped by the check.
    std::size_t middle = static_cast<std::size_t>(firstBit / 8) + 1;
#if defined(__SSE2__)
    if (auto offset = SearchSixteenAtATime(data, size, middle, firstBit)) {
        return offset;
    }
#endif
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
