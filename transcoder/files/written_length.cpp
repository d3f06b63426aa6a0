#include "files/written_length.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cantova {

namespace {

std::vector<std::uint8_t> readAll(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size <= 0) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    bytes.resize(done);
    return bytes;
}

std::uint32_t littleEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

std::optional<WrittenLength> waveSeconds(const std::vector<std::uint8_t>& file) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t size = littleEndian(&file[at + 4], 4);
        if (std::memcmp(&file[at], "fmt ", 4) == 0 && at + 8 + 16 <= file.size()) {
            rate = littleEndian(&file[at + 12], 4);
            blockAlign = littleEndian(&file[at + 20], 2);
        } else if (std::memcmp(&file[at], "data", 4) == 0) {
            if (rate == 0 || blockAlign == 0) {
                return std::nullopt;
            }
            const std::size_t held = std::min<std::size_t>(size, file.size() - at - 8);
            return WrittenLength{static_cast<double>(held / blockAlign) / rate,
                                 static_cast<int>(rate)};
        }
        at += 8 + size + (size & 1u);
    }
    return std::nullopt;
}

std::optional<WrittenLength> ac3Seconds(const std::vector<std::uint8_t>& file) {
    // Frame sizes in 16-bit words at 48 kHz, by frame size code / 2; 32 kHz takes 3/2 of them,
    // 44.1 kHz its own table (plus one word for odd codes).
    static const int k48[] = {64,  80,  96,  112, 128, 160, 192,  224,  256, 320,
                              384, 448, 512, 640, 768, 896, 1024, 1152, 1280};
    static const int k44[] = {69,  87,  104, 121, 139, 174, 208,  243,  278, 348,
                              417, 487, 557, 696, 835, 975, 1114, 1253, 1393};
    constexpr int kRates[] = {48000, 44100, 32000};
    std::size_t frames = 0;
    int rate = 0;
    for (std::size_t at = 0; at + 5 <= file.size();) {
        if (file[at] != 0x0B || file[at + 1] != 0x77) {
            break;
        }
        const int rateCode = file[at + 4] >> 6;
        const int sizeCode = file[at + 4] & 0x3F;
        if (rateCode == 3 || sizeCode > 37) {
            break;
        }
        const int words = rateCode == 0   ? k48[sizeCode / 2]
                          : rateCode == 2 ? k48[sizeCode / 2] * 3 / 2
                                          : k44[sizeCode / 2] + (sizeCode & 1);
        const std::size_t bytes = static_cast<std::size_t>(words) * 2;
        if (at + bytes > file.size()) {
            break;
        }
        rate = kRates[rateCode];
        ++frames;
        at += bytes;
    }
    if (rate == 0) {
        return std::nullopt;
    }
    return WrittenLength{static_cast<double>(frames * 1536) / rate, rate};
}

std::optional<WrittenLength> mp3Seconds(const std::vector<std::uint8_t>& file) {
    static const int kBitrates[2][15] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int kRates[3][3] = {
        {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    std::size_t at = 0;
    if (file.size() >= 10 && std::memcmp(file.data(), "ID3", 3) == 0) {
        at = 10 + ((file[6] & 0x7Fu) << 21 | (file[7] & 0x7Fu) << 14 | (file[8] & 0x7Fu) << 7 |
                   (file[9] & 0x7Fu));
    }
    std::size_t samples = 0;
    std::size_t trimmed = 0;
    int rate = 0;
    bool first = true;
    while (at + 4 <= file.size()) {
        const std::uint8_t* h = &file[at];
        const int version = (h[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
        const int bitrateIndex = h[2] >> 4;
        const int rateIndex = (h[2] >> 2) & 3;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1 || version == 1 ||
            bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
            break;
        }
        const bool mpeg1 = version == 3;
        rate = kRates[mpeg1 ? 0 : (version == 2 ? 1 : 2)][rateIndex];
        const int frameSamples = mpeg1 ? 1152 : 576;
        const std::size_t bytes =
            static_cast<std::size_t>(frameSamples / 8 * kBitrates[mpeg1 ? 0 : 1][bitrateIndex] *
                                     1000 / rate) +
            ((h[2] >> 1) & 1);
        if (at + bytes > file.size()) {
            break;
        }
        // The first frame may hold lame's Info/Xing tag instead of sound, with the encoder
        // delay and padding in its LAME extension.
        const std::string_view frame(reinterpret_cast<const char*>(h), bytes);
        const std::size_t tag =
            frame.find("Xing") != std::string_view::npos ? frame.find("Xing") : frame.find("Info");
        if (first && tag != std::string_view::npos && tag < 64) {
            const std::size_t lame = frame.find("LAME", tag);
            if (lame != std::string_view::npos && lame + 24 <= bytes) {
                const std::uint8_t* d = h + lame + 21;
                trimmed = (static_cast<std::size_t>(d[0]) << 4 | d[1] >> 4) +
                          ((static_cast<std::size_t>(d[1]) & 0x0F) << 8 | d[2]);
            }
        } else {
            samples += static_cast<std::size_t>(frameSamples);
        }
        first = false;
        at += bytes;
    }
    if (rate == 0) {
        return std::nullopt;
    }
    return WrittenLength{static_cast<double>(samples > trimmed ? samples - trimmed : 0) / rate,
                         rate};
}

constexpr std::uint32_t kOpusGranuleRate = 48000;

// The length of an Ogg Vorbis or Ogg Opus file.
std::optional<WrittenLength> oggSeconds(const std::vector<std::uint8_t>& file) {
    std::uint32_t rate = 0;
    std::uint64_t preSkip = 0;
    std::uint64_t granule = 0;
    for (std::size_t at = 0; at + 27 <= file.size();) {
        if (std::memcmp(&file[at], "OggS", 4) != 0) {
            break;
        }
        const std::size_t segments = file[at + 26];
        if (at + 27 + segments > file.size()) {
            break;
        }
        std::size_t body = 0;
        for (std::size_t s = 0; s < segments; ++s) {
            body += file[at + 27 + s];
        }
        const std::size_t start = at + 27 + segments;
        if (start + body > file.size()) {
            break;
        }
        if (rate == 0 && body >= 16 && std::memcmp(&file[start], "\x01vorbis", 7) == 0) {
            rate = littleEndian(&file[start + 12], 4);
        }
        // Opus counts its granules at 48 kHz, from before the samples its decoder skips.
        if (rate == 0 && body >= 19 && std::memcmp(&file[start], "OpusHead", 8) == 0) {
            rate = kOpusGranuleRate;
            preSkip = littleEndian(&file[start + 10], 2);
        }
        const std::uint64_t position = static_cast<std::uint64_t>(littleEndian(&file[at + 6], 4)) |
                                       static_cast<std::uint64_t>(littleEndian(&file[at + 10], 4))
                                           << 32;
        if (position != ~std::uint64_t{0}) {
            granule = position;
        }
        at = start + body;
    }
    if (rate == 0) {
        return std::nullopt;
    }
    return WrittenLength{static_cast<double>(granule > preSkip ? granule - preSkip : 0) / rate,
                         static_cast<int>(rate)};
}

} // namespace

std::optional<WrittenLength> writtenLength(int fd, Target target) {
    const std::vector<std::uint8_t> file = readAll(fd);
    switch (target) {
    case Target::Wav:
        return waveSeconds(file);
    case Target::Ac3:
        return ac3Seconds(file);
    case Target::Mp3:
        return mp3Seconds(file);
    case Target::Ogg:
    case Target::Opus:
        return oggSeconds(file);
    case Target::Flac:
        break;
    }
    return std::nullopt;
}

int frameSamples(Target target) {
    switch (target) {
    case Target::Mp3:
        return 1152;
    case Target::Ogg:
        return 2048;
    case Target::Opus:
        return 960;
    case Target::Flac:
        return 4608;
    case Target::Ac3:
        return 1536;
    case Target::Wav:
        break;
    }
    return 1;
}

} // namespace cantova
