#include "command/bitrate_choice.h"

#include <algorithm>
#include <cstdlib>
#include <span>

namespace cantova {

namespace {

constexpr int kAc3Bitrates[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                192, 224, 256, 320, 384, 448, 512, 576, 640};
constexpr int kMpeg1Bitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kMpeg2Bitrates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr int kMpeg25Bitrates[] = {8, 16, 24, 32, 40, 48, 56, 64};

int nearest(std::span<const int> table, int requested) {
    // The table rises, so the first of two equally near entries is the lower one.
    return *std::min_element(table.begin(), table.end(), [&](int a, int b) {
        return std::abs(a - requested) < std::abs(b - requested);
    });
}

} // namespace

int nearestAc3Bitrate(int requested) {
    return nearest(kAc3Bitrates, requested);
}

std::optional<int> usableMp3Bitrate(int requested, int sampleRate) {
    const std::span<const int> table = sampleRate >= 32000 ? std::span<const int>(kMpeg1Bitrates)
                                       : sampleRate >= 16000
                                           ? std::span<const int>(kMpeg2Bitrates)
                                           : std::span<const int>(kMpeg25Bitrates);
    if (requested < table.front()) {
        return std::nullopt;
    }
    return nearest(table, requested);
}

} // namespace cantova
