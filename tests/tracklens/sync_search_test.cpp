#include "ac3_sync_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace {

// The search as the bit-by-bit window it replaces.
std::optional<std::uint64_t> SearchBitByBit(const std::vector<std::uint8_t>& data,
                                            std::uint64_t firstBit) {
    const auto bitAt = [&](std::uint64_t bit) { return (data[bit / 8] >> (7 - bit % 8)) & 1u; };
    for (std::uint64_t start = firstBit; start + 16 <= data.size() * 8; ++start) {
        unsigned window = 0;
        for (unsigned i = 0; i < 16; ++i) {
            window = (window << 1) | bitAt(start + i);
        }
        if (window == tracklens::kAc3SyncWord) {
            return start;
        }
    }
    return std::nullopt;
}

TEST(Ac3SyncSearch, AgreesWithTheBitByBitWindowOnDataDenseWithNearMatches) {
    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        // Short strings of the bytes that sync words are made of, so that matches and near
        // matches are frequent at every shift and at both ends.
        const std::uint8_t pieces[] = {0x0B, 0x77, 0x05, 0xBB, 0x16, 0xEE, 0x00, 0xFF, 0x2D, 0xDD};
        std::vector<std::uint8_t> data(random() % 48);
        for (auto& byte : data) {
            byte = pieces[random() % sizeof pieces];
        }
        for (std::uint64_t firstBit = 0; firstBit <= data.size() * 8; ++firstBit) {
            ASSERT_EQ(tracklens::FindAc3SyncWord(data.data(), data.size(), firstBit),
                      SearchBitByBit(data, firstBit))
                << "round " << round << " first bit " << firstBit;
        }
    }
}

} // namespace
