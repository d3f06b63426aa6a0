#include "ac3_probe.h"

#include "ac3_bit_reader.h"

#include <array>

namespace tracklens {

namespace {

// Two consecutive frame-size codes share one rate.
constexpr std::array<int, 19> kBitRateByCodePair = {
    32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};
constexpr std::array<int, 4> kSampleRateByCode = {48000, 44100, 32000, 0};
constexpr std::array<int, 8> kChannelsByMode = {2, 1, 2, 3, 3, 4, 4, 5};

// The optional field: a 1-bit flag and, when it is set, the field of the given width.
void SkipFlaggedField(Ac3BitReader& bits, unsigned width) {
    if (bits.Read(1) != 0) {
        bits.Read(width);
    }
}

// Walks the bit-stream information after acmod field by field; none of it is reported.
void SkipRestOfBitStreamInfo(Ac3BitReader& bits, unsigned acmod) {
    if ((acmod & 1) != 0 && acmod != 1) {
        bits.Read(2); // cmixlev
    }
    if ((acmod & 4) != 0) {
        bits.Read(2); // surmixlev
    }
    if (acmod == 2) {
        bits.Read(2); // dsurmod
    }
    bits.Read(1); // lfeon
    // The programme fields, twice for dual mono (1+1).
    const int programmes = acmod == 0 ? 2 : 1;
    for (int programme = 0; programme < programmes; ++programme) {
        bits.Read(5);              // dialnorm
        SkipFlaggedField(bits, 8); // compre, compr
        SkipFlaggedField(bits, 8); // langcode, langcod
        if (bits.Read(1) != 0) {   // audprodie
            bits.Read(5);          // mixlevel
            bits.Read(2);          // roomtyp
        }
    }
    bits.Read(1);               // copyright flag
    bits.Read(1);               // origbs
    SkipFlaggedField(bits, 14); // timecod1e, timecod1
    SkipFlaggedField(bits, 14); // timecod2e, timecod2
    if (bits.Read(1) != 0) {    // addbsie
        const unsigned length = bits.Read(6) + 1;
        for (unsigned i = 0; i < length; ++i) {
            bits.Read(8);
        }
    }
}

} // namespace

int Ac3BitRate(unsigned frameSizeCode) {
    return frameSizeCode / 2 < kBitRateByCodePair.size() ? kBitRateByCodePair[frameSizeCode / 2]
                                                         : 0;
}

int Ac3SampleRate(unsigned sampleRateCode) {
    return kSampleRateByCode[sampleRateCode & 3];
}

int Ac3Channels(unsigned audioCodingMode) {
    return kChannelsByMode[audioCodingMode & 7];
}

std::optional<Ac3WaveFormat> ProbeAc3(int fd) {
    Ac3BitReader bits(fd);
    if (!bits.SkipToSyncWord()) {
        return std::nullopt;
    }
    // syncinfo; the CRC is not tested.
    bits.Read(16); // crc1
    const unsigned fscod = bits.Read(2);
    const unsigned frmsizecod = bits.Read(6);
    // bsi; no field is checked for validity.
    bits.Read(5); // bsid
    bits.Read(3); // bsmod
    const unsigned acmod = bits.Read(3);
    SkipRestOfBitStreamInfo(bits, acmod);

    Ac3WaveFormat format;
    format.channels = static_cast<std::uint16_t>(Ac3Channels(acmod));
    format.samplesPerSecond = static_cast<std::uint32_t>(Ac3SampleRate(fscod));
    format.averageBytesPerSecond = static_cast<std::uint32_t>(Ac3BitRate(frmsizecod)) * 125;
    return format;
}

} // namespace tracklens
