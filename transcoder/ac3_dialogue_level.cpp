#include "ac3_dialogue_level.h"

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

} // namespace

std::optional<int> readAc3DialogueLevel(const std::string& path) {
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
        if ((codingMode & 1u) != 0 && codingMode != 1) {
            reader.read(2); // centre mix level
        }
        if ((codingMode & 4u) != 0) {
            reader.read(2); // surround mix level
        }
        if (codingMode == 2) {
            reader.read(2); // Dolby Surround mode
        }
        reader.read(1); // LFE on
        const int level = static_cast<int>(reader.read(5));
        return level == 0 ? 31 : level;
    }
    return std::nullopt;
}

double dialogueNormalisationGainDb(int dialogueLevel) {
    return dialogueLevel - 31.0;
}

} // namespace cantova
