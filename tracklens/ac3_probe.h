#pragma once

// The AC3 probe: the first sync frame's syncinfo and bit-stream information.

#include <cstdint>
#include <optional>

namespace tracklens {

// The stream described as a wave format (format tag 0x2000).
struct Ac3WaveFormat {
    std::uint16_t formatTag = 0x2000;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0; // bit rate in kbit/s times 125
    std::uint16_t blockAlign = 1;
    std::uint16_t bitsPerSample = 0;
};

// Describes the frame at the first sync word of the open file; nothing when there is none within
// its first kAc3SyncSearchBytes bytes (ac3_bit_reader.h).
std::optional<Ac3WaveFormat> ProbeAc3(int fd);

// Bit rate in kbit/s of a frame-size code; 0 for codes outside the table (above 37).
int Ac3BitRate(unsigned frameSizeCode);
// Sampling rate in Hz of a sample-rate code; 0 for the reserved code 3.
int Ac3SampleRate(unsigned sampleRateCode);
// Full-bandwidth channels of an audio coding mode.
int Ac3Channels(unsigned audioCodingMode);

} // namespace tracklens
