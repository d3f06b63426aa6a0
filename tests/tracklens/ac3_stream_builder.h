#pragma once

// Builds AC3 byte strings bit by bit for the probe's tests.

#include <cstdint>
#include <string>
#include <vector>

class BitString {
public:
    // Appends the lowest count bits of value, most significant first.
    BitString& Put(std::uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            const bool bit = (value >> i) & 1u;
            if (bits_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if (bit) {
                bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (bits_ % 8)));
            }
            ++bits_;
        }
        return *this;
    }
    BitString& PutOnes(unsigned count) {
        for (; count > 0 && bits_ % 8 != 0; --count) {
            Put(1, 1);
        }
        bytes_.append(count / 8, '\xFF');
        bits_ += count / 8 * 8;
        return Put(0xFF, count % 8);
    }
    // Pads with ones to a whole number of 32-bit words, so that every bit is delivered.
    BitString& PadToWords() {
        while (bits_ % 32 != 0) {
            Put(1, 1);
        }
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    unsigned bits_ = 0;
};

struct Ac3Header {
    unsigned fscod = 0;
    unsigned frmsizecod = 0;
    unsigned acmod = 7;
    unsigned lfeon = 1;
};

// Sync word, syncinfo and bit-stream information of one frame, with no optional field present.
inline void PutAc3Header(BitString& bits, const Ac3Header& header) {
    bits.Put(0x0B77, 16).Put(0xFFFF, 16).Put(header.fscod, 2).Put(header.frmsizecod, 6);
    bits.Put(8, 5).Put(0, 3).Put(header.acmod, 3);
    if ((header.acmod & 1) != 0 && header.acmod != 1) {
        bits.Put(1, 2); // cmixlev
    }
    if ((header.acmod & 4) != 0) {
        bits.Put(1, 2); // surmixlev
    }
    if (header.acmod == 2) {
        bits.Put(0, 2); // dsurmod
    }
    bits.Put(header.lfeon, 1);
    for (int programme = 0; programme < (header.acmod == 0 ? 2 : 1); ++programme) {
        bits.Put(27, 5).Put(0, 3); // dialnorm; no compr, langcod, mixlevel
    }
    bits.Put(1, 1).Put(1, 1).Put(0, 3); // copyright, origbs; no time codes, no additional info
}

// A whole file: ones before the header, the header, then ones up to whole words.
inline std::string Ac3FileWithHeaderAt(unsigned bitOffset, const Ac3Header& header) {
    BitString bits;
    bits.PutOnes(bitOffset);
    PutAc3Header(bits, header);
    bits.PadToWords();
    return bits.Bytes();
}
