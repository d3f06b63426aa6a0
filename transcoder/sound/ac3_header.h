#pragma once

#include "sound/channel_mix.h"

#include <optional>
#include <string>

namespace cantova {

// What the first AC3 frame header of a file says.
struct Ac3Header {
    int sampleRate = 0;
    ChannelNames channels;  // as ffmpeg's AC3 decoder delivers them
    int dialogueLevel = 31; // dialnorm, 1 to 31, meaning -1 to -31 dBFS
    // The gains the stream asks a stereo downmix to give its centre and its surrounds
    // (cmixlev, surmixlev); empty where the stream has no such channel.
    std::optional<double> centreMixLevel;
    std::optional<double> surroundMixLevel;
    // dsurmod of a 2/0 stream: 0 not indicated, 1 not Dolby Surround encoded, 2 encoded.
    std::optional<int> surroundMode;
};

// The first AC3 frame header near the start of the file, or nothing when there is none.
std::optional<Ac3Header> readAc3Header(const std::string& path);

// The gain in dB that brings dialogue of the given level to -31 dBFS.
double dialogueNormalisationGainDb(int dialogueLevel);

} // namespace cantova
