#include "sound/wav_stream_meter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>

namespace cantova {

namespace {

constexpr std::size_t kLargestHeader = 64 * 1024;
constexpr std::uint16_t kFloatFormat = 3;
constexpr std::uint16_t kExtensibleFormat = 0xFFFE;
constexpr std::size_t kFloatBytes = 4;

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

void WavStreamMeter::take(std::string_view bytes) {
    if (meter_) {
        measure(bytes);
        return;
    }
    if (refused_) {
        return;
    }
    header_.append(bytes);
    if (readHeader()) {
        const std::string samples = std::exchange(partialFrame_, {});
        header_.clear();
        measure(samples);
    }
}

// Reads the chunks up to "data"; the bytes after it are left in partialFrame_ as samples.
bool WavStreamMeter::readHeader() {
    const std::string_view text(header_);
    if (text.size() < 12) {
        return false;
    }
    if (text.substr(0, 4) != "RIFF" || text.substr(8, 4) != "WAVE") {
        refused_ = true;
        return false;
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
                return false;
            }
            meter_ = std::make_unique<PcmMeter>(weightsOfMask(mask, channels), sampleRate_,
                                                watchedLevel_);
            partialFrame_.assign(text.substr(at + 8));
            return true;
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
    refused_ = header_.size() > kLargestHeader;
    return false;
}

void WavStreamMeter::measure(std::string_view bytes) {
    const std::size_t frameBytes = meter_->channels() * kFloatBytes;
    if (!partialFrame_.empty()) {
        const std::size_t missing = std::min(frameBytes - partialFrame_.size(), bytes.size());
        partialFrame_.append(bytes.substr(0, missing));
        bytes.remove_prefix(missing);
        if (partialFrame_.size() < frameBytes) {
            return;
        }
        measure(std::exchange(partialFrame_, {}));
    }
    const std::size_t frames = bytes.size() / frameBytes;
    if (frames == 0) {
        // Less than a frame: nothing to copy (an empty buffer has no storage to copy into).
        partialFrame_.assign(bytes);
        return;
    }
    // Grown only: a vector shrunk and grown again fills the new part with zeros first, and the
    // reads differ in size all the time.
    frames_.resize(std::max(frames_.size(), frames * meter_->channels()));
    std::memcpy(frames_.data(), bytes.data(), frames * frameBytes);
    if constexpr (std::endian::native == std::endian::big) {
        for (float& sample : std::span(frames_.data(), frames * meter_->channels())) {
            const auto word = std::bit_cast<std::uint32_t>(sample);
            sample = std::bit_cast<float>(word >> 24 | (word >> 8 & 0xFF00U) |
                                          (word << 8 & 0xFF0000U) | word << 24);
        }
    }
    meter_->addInterleaved(frames_.data(), frames);
    partialFrame_.assign(bytes.substr(frames * frameBytes));
}

} // namespace cantova
