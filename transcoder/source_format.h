#pragma once

#include "job_request.h"

#include <optional>
#include <string>
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

bool isLpcmSource(const std::string& path);
bool isAc3Source(const std::string& path);
LpcmFormat lpcmFormatFromName(const std::string& path);

// The options placed before "-i" for this source: the raw format of an LPCM file, and the
// AC3 decoder's dynamic range settings.
std::vector<std::string> sourceReadArguments(const std::string& path,
                                             const std::optional<AzidOptions>& azid);

// The delay written into a file name as "DELAY -24ms", in milliseconds.
std::optional<double> delayFromFileName(const std::string& path);

} // namespace cantova
