#include "sound/ac3_header.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace cantova {

namespace {

class BitReader {
public:
    BitReader(const std::vector<std::uint8_t>& bytes, std::size_t start)
        : bytes_(bytes), bit_(start * 8) {}
    unsigned read(int count) {
        unsigned value = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            const std::size_t index = bit_ / 8;
            const unsigned bit =
                index < bytes_.size() ? (bytes_[index] >> (7 - bit_ % 8)) & 1u : 0u;
            value = (value << 1) | bit;
        }
        return value;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t bit_;
};

constexpr std::size_t kSearchBytes = 64 * 1024;
constexpr std::size_t kHeaderBytes = 16;

// The channels of each audio coding mode (1+1, 1/0, 2/0, 3/0, 2/1, 3/1, 2/2, 3/2) in ffmpeg's
// order, with the LFE after the front channels.
ChannelNames channelsOf(unsigned codingMode, bool lfe) {
    static const ChannelNames kFronts[] = {
        {"FL", "FR"},       {"FC"},       {"FL", "FR"},      {"FL", "FR", "FC"}, {"FL", "FR"},
        {"FL", "FR", "FC"}, {"FL", "FR"}, {"FL", "FR", "FC"}};
    static const ChannelNames kSurrounds[] = {{},     {},     {},           {},
                                              {"BC"}, {"BC"}, {"SL", "SR"}, {"SL", "SR"}};
    ChannelNames channels = kFronts[codingMode];
    if (lfe) {
        channels.push_back("LFE");
    }
    channels.insert(channels.end(), kSurrounds[codingMode].begin(), kSurrounds[codingMode].end());
    return channels;
}

} // namespace

std::optional<Ac3Header> readAc3Header(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(kSearchBytes);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    for (std::size_t i = 0; i + kHeaderBytes <= bytes.size(); ++i) {
        if (bytes[i] != 0x0B || bytes[i + 1] != 0x77) {
            continue;
        }
        BitReader reader(bytes, i + 2);
        reader.read(16); // crc1
        const unsigned sampleRateCode = reader.read(2);
        reader.read(6); // frame size code
        const unsigned bitstreamId = reader.read(5);
        if (sampleRateCode == 3 || bitstreamId > 10) {
            continue;
        }
        reader.read(3); // bitstream mode
        const unsigned codingMode = reader.read(3);
        // -3, -4.5, -6 dB; the reserved code counts as -4.5 dB for the centre and -6 dB for
        // the surrounds, and the surrounds' third code is "leave them out".
        constexpr double kCentreLevels[] = {0.7071, 0.5946, 0.5, 0.5946};
        constexpr double kSurroundLevels[] = {0.7071, 0.5, 0.0, 0.5};
        std::optional<double> centreMixLevel;
        std::optional<double> surroundMixLevel;
        if ((codingMode & 1u) != 0 && codingMode != 1) {
            centreMixLevel = kCentreLevels[reader.read(2)];
        }
        if ((codingMode & 4u) != 0) {
            surroundMixLevel = kSurroundLevels[reader.read(2)];
        }
        std::optional<int> surroundMode;
        if (codingMode == 2) {
            surroundMode = static_cast<int>(reader.read(2));
        }
        const bool lfe = reader.read(1) != 0;
        const int level = static_cast<int>(reader.read(5));
        constexpr int kRates[] = {48000, 44100, 32000};
        return Ac3Header{kRates[sampleRateCode],  channelsOf(codingMode, lfe),
                         level == 0 ? 31 : level, centreMixLevel,
                         surroundMixLevel,        surroundMode};
    }
    return std::nullopt;
}

double dialogueNormalisationGainDb(int dialogueLevel) {
    return dialogueLevel - 31.0;
}

} // namespace cantova
