#pragma once

#include <optional>
#include <string>

namespace cantova {

// How ffmpeg must read a raw LPCM source: DVD LPCM (48 kHz, 16-bit big-endian, stereo)
// unless the file name says otherwise ("96kHz", "44.1khz", "24bit", "6ch", "mono").
struct LpcmFormat {
    int sampleRate = 48000;
    int bitsPerSample = 16;
    int channels = 2;
    bool operator==(const LpcmFormat&) const = default;
};

// The sample rates the transcoder takes, for sources and for resampling alike.
inline constexpr int kLowestSampleRate = 8000;
inline constexpr int kHighestSampleRate = 192000;

bool isLpcmSource(const std::string& path);
bool isAc3Source(const std::string& path);
// Throws CommandLineError when the name gives a sample rate outside the range above.
LpcmFormat lpcmFormatFromName(const std::string& path);

// The delay written into a file name as "DELAY -24ms", in milliseconds.
std::optional<double> delayFromFileName(const std::string& path);

} // namespace cantova
