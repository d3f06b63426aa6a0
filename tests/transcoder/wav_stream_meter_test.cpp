// The meter of the sample streams ffmpeg writes into the transcoder's taps: WAV headers as
// ffmpeg writes them (its extensible form with a channel mask, or the plain float form), read
// from pieces of any size.
#include "sound/wav_stream_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace cantova {
namespace {

void putNumber(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFFU));
    }
}

void putChunk(std::string& bytes, const std::string& id, const std::string& body) {
    bytes += id;
    putNumber(bytes, static_cast<std::uint32_t>(body.size()), 4);
    bytes += body;
}

// A header with open sizes, as ffmpeg writes it into a pipe; mask 0: the plain form.
std::string header(int channels, int rate, std::uint32_t mask, int bits = 32) {
    std::string format;
    putNumber(format, mask != 0 ? 0xFFFE : 3, 2);
    putNumber(format, static_cast<std::uint32_t>(channels), 2);
    putNumber(format, static_cast<std::uint32_t>(rate), 4);
    putNumber(format, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
    putNumber(format, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putNumber(format, static_cast<std::uint32_t>(bits), 2);
    if (mask != 0) {
        putNumber(format, 22, 2);
        putNumber(format, static_cast<std::uint32_t>(bits), 2);
        putNumber(format, mask, 4);
        putNumber(format, 3, 4); // the float subformat's GUID begins with its format number
        format += std::string("\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 12);
    }
    std::string bytes = "RIFF";
    putNumber(bytes, 0xFFFFFFFF, 4);
    bytes += "WAVE";
    putChunk(bytes, "fmt ", format);
    std::string software = "INFOISFT";
    putNumber(software, 14, 4);
    putChunk(bytes, "LIST", software + std::string("Lavf59.27.100", 14));
    bytes += "data";
    putNumber(bytes, 0xFFFFFFFF, 4);
    return bytes;
}

// Frames of a 1 kHz sine at -20 dBFS in one channel, silence or a loud 50 Hz tone elsewhere.
std::string frames(int channels, int rate, int toneChannel, double seconds, int loudChannel = -1) {
    std::string bytes;
    for (long i = 0; i < std::lround(seconds * rate); ++i) {
        for (int c = 0; c < channels; ++c) {
            const double t = static_cast<double>(i) / rate;
            const float sample =
                c == toneChannel
                    ? static_cast<float>(0.1 * std::sin(2 * std::numbers::pi * 1000 * t))
                : c == loudChannel
                    ? static_cast<float>(0.9 * std::sin(2 * std::numbers::pi * 50 * t))
                    : 0.0f;
            char raw[4];
            std::memcpy(raw, &sample, sizeof raw);
            bytes.append(raw, sizeof raw);
        }
    }
    return bytes;
}

void feedInPieces(WavStreamMeter& meter, const std::string& bytes) {
    for (std::size_t at = 0, piece = 1; at < bytes.size();
         at += piece, piece = piece * 5 % 9973 + 1) {
        meter.take(std::string_view(bytes).substr(at, piece));
    }
}

TEST(WavStreamMeter, ReadsTheExtensibleHeaderAndWeighsTheChannelsItsMaskNames) {
    // 5.1(side): FL FR FC LFE SL SR. The tone in the left surround counts 1.41 times, the LFE
    // not at all.
    const std::string stream =
        header(6, 44100, 0x60F) + frames(6, 44100, 4, 3.0, 3) + std::string(7, '\0');
    WavStreamMeter meter;
    feedInPieces(meter, stream);
    ASSERT_NE(meter.meter(), nullptr);
    EXPECT_EQ(meter.sampleRate(), 44100);
    EXPECT_EQ(meter.meter()->channels(), 6u);
    EXPECT_EQ(meter.meter()->frames(), 3 * 44100); // the bytes of a frame begun are not a frame
    EXPECT_NEAR(meter.meter()->integratedLoudness(), -20.0 - 3.01 + 10 * std::log10(1.41), 0.1);
    EXPECT_NEAR(20 * std::log10(meter.meter()->samplePeak()), 20 * std::log10(0.9), 0.01);
}

TEST(WavStreamMeter, ReadsThePlainFloatHeaderAndRefusesOtherSamples) {
    WavStreamMeter stereo;
    feedInPieces(stereo, header(2, 48000, 0) + frames(2, 48000, 1, 1.0));
    ASSERT_NE(stereo.meter(), nullptr);
    EXPECT_EQ(stereo.meter()->frames(), 48000);
    EXPECT_NEAR(stereo.meter()->integratedLoudness(), -23.01, 0.1);

    WavStreamMeter sixteenBit;
    sixteenBit.take(header(2, 48000, 0, 16) + std::string(4000, '\0'));
    EXPECT_EQ(sixteenBit.meter(), nullptr);
    WavStreamMeter notWav;
    notWav.take(std::string(4000, 'x'));
    EXPECT_EQ(notWav.meter(), nullptr);
}

} // namespace
} // namespace cantova
