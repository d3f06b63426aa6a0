#include "sound/wav_stream_meter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

namespace cantova {

namespace {

constexpr std::uint16_t kFloatFormat = 3;
constexpr std::uint16_t kExtensibleFormat = 0xFFFE;
constexpr std::size_t kFloatBytes = 4;
// What one read may bring (the taps' pipes hold a MiB), with room for a header of up to 64 KiB
// or the part of a frame before it.
constexpr std::size_t kBufferBytes = (1024 + 64) * 1024;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The loudness weights of the channels a WAVE channel mask names, in the order of its bits
// (FL FR FC LFE BL BR FLC FRC BC SL SR TC TFL TFC TFR TBL TBC TBR); channels beyond the mask
// count as front channels.
std::vector<double> weightsOfMask(std::uint32_t mask, std::size_t channels) {
    static const char* const kNames[] = {"FL",  "FR",  "FC",  "LFE", "BL",  "BR",
                                         "FLC", "FRC", "BC",  "SL",  "SR",  "TC",
                                         "TFL", "TFC", "TFR", "TBL", "TBC", "TBR"};
    std::vector<double> weights;
    for (std::size_t bit = 0; bit < std::size(kNames) && weights.size() < channels; ++bit) {
        if ((mask >> bit & 1U) != 0) {
            weights.push_back(loudnessWeight(kNames[bit]));
        }
    }
    weights.resize(channels, 1.0);
    return weights;
}

} // namespace

WavStreamMeter::WavStreamMeter(float watchedLevel)
    : watchedLevel_(watchedLevel), buffer_(kBufferBytes / kFloatBytes) {}

std::span<char> WavStreamMeter::room() {
    return {bytes() + pending_, kBufferBytes - pending_};
}

void WavStreamMeter::filled(std::size_t count) {
    pending_ += count;
    if (refused_) {
        pending_ = 0;
        return;
    }
    if (!meter_) {
        const std::size_t samplesAt = readHeader();
        if (!meter_) {
            // A header larger than the buffer is none ffmpeg writes.
            if (refused_ || pending_ == kBufferBytes) {
                refused_ = true;
                pending_ = 0;
            }
            return;
        }
        pending_ -= samplesAt;
        std::memmove(bytes(), bytes() + samplesAt, pending_);
    }
    measureWholeFrames();
}

void WavStreamMeter::take(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::span<char> space = room();
        const std::size_t count = std::min(space.size(), bytes.size());
        std::memcpy(space.data(), bytes.data(), count);
        filled(count);
        bytes.remove_prefix(count);
    }
}

// Reads the chunks up to "data" and sets up the meter; gives the offset of the samples.
std::size_t WavStreamMeter::readHeader() {
    const std::string_view text(bytes(), pending_);
    if (text.size() < 12) {
        return 0;
    }
    if (text.substr(0, 4) != "RIFF" || text.substr(8, 4) != "WAVE") {
        refused_ = true;
        return 0;
    }
    std::uint32_t channels = 0;
    std::uint32_t mask = 0;
    bool floatSamples = false;
    for (std::size_t at = 12; at + 8 <= text.size();) {
        const std::string_view id = text.substr(at, 4);
        const std::size_t size = littleEndian(text, at + 4, 4);
        if (id == "data") {
            if (channels == 0 || !floatSamples || sampleRate_ <= 0) {
                refused_ = true;
                return 0;
            }
            meter_ = std::make_unique<PcmMeter>(weightsOfMask(mask, channels), sampleRate_,
                                                watchedLevel_);
            return at + 8;
        }
        if (at + 8 + size > text.size()) {
            break;
        }
        if (id == "fmt " && size >= 16) {
            const std::uint32_t format = littleEndian(text, at + 8, 2);
            channels = littleEndian(text, at + 10, 2);
            sampleRate_ = static_cast<int>(littleEndian(text, at + 12, 4));
            const std::uint32_t bits = littleEndian(text, at + 22, 2);
            const bool extensible = format == kExtensibleFormat && size >= 40;
            mask = extensible ? littleEndian(text, at + 28, 4) : 0;
            const std::uint32_t subFormat = extensible ? littleEndian(text, at + 32, 2) : format;
            floatSamples = bits == 32 && subFormat == kFloatFormat;
        }
        at += 8 + size + (size & 1U);
    }
    return 0;
}

void WavStreamMeter::measureWholeFrames() {
    const std::size_t frameBytes = meter_->channels() * kFloatBytes;
    const std::size_t frames = pending_ / frameBytes;
    if constexpr (std::endian::native == std::endian::big) {
        for (float& sample : std::span(buffer_.data(), frames * meter_->channels())) {
            const auto word = std::bit_cast<std::uint32_t>(sample);
            sample = std::bit_cast<float>(word >> 24 | (word >> 8 & 0xFF00U) |
                                          (word << 8 & 0xFF0000U) | word << 24);
        }
    }
    meter_->addInterleaved(buffer_.data(), frames);
    // The part of a frame the bytes end in moves to the start, for the next read to complete.
    pending_ -= frames * frameBytes;
    std::memmove(bytes(), bytes() + frames * frameBytes, pending_);
}

} // namespace cantova
