#pragma once

#include "channel_mix.h"
#include "job_request.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// What the processing needs to know of the source's first audio stream.
struct SourceInfo {
    int sampleRate = 0;
    ChannelNames channels;
    // Decoded as 16-bit samples: a 16-bit output of them needs no reduction (and no dither)
    // as long as no filter changes them.
    bool sixteenBit = false;
    // The bits of an uncoded (PCM) source's samples, 32 for float; 0 for a coded source.
    int pcmBits = 0;
};

// Reads the first frame's description that ffmpeg's ashowinfo filter reports ("fmt:s16
// channels:6 chlayout:5.1(side) rate:48000"); nothing when there is none or it is unusable.
std::optional<SourceInfo> readSourceProbe(const std::string& report);

// The options placed before "-i" for this source: the raw format of an LPCM file, and the
// AC3 decoder's dynamic range settings.
std::vector<std::string> sourceReadArguments(const std::string& path,
                                             const std::optional<AzidOptions>& azid);

// The delay written into a file name as "DELAY -24ms", in milliseconds.
std::optional<double> delayFromFileName(const std::string& path);

} // namespace cantova
