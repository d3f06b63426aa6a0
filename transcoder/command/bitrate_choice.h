#pragma once

#include <optional>

namespace cantova {

// The bitrates AC3 carries, in kbit/s: 32 to 640 in 19 steps.
inline constexpr int kLowestAc3Bitrate = 32;
inline constexpr int kHighestAc3Bitrate = 640;

// The AC3 bitrate nearest to a requested one within the range above (of two as near, the
// lower), which the encoder would otherwise choose without a word.
int nearestAc3Bitrate(int requested);

// The constant MP3 bitrate lame can use nearest to the requested one at the sample rate it
// is given (of two as near, the lower, as lame itself chooses): MPEG-1 at 32 to 48 kHz carries
// 32 to 320 kbit/s, MPEG-2 at 16 to 24 kHz 8 to 160, MPEG-2.5 below 16 kHz 8 to 64. Nothing
// when the request is below what the sample rate carries: lame then lowers the sample rate
// itself to one that carries it.
std::optional<int> usableMp3Bitrate(int requested, int sampleRate);

} // namespace cantova
