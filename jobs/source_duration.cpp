#include "jobs/source_duration.h"

#include "jobs/source_path_rules.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace cantova::jobs {

namespace {

constexpr double kMpegAudioBytesPerSecond = 224000 / 8.0;
constexpr double kLpcmBytesPerSecond = 48000 * 2 * 2;

// The byte rate in the "fmt " chunk of a canonical WAV header; 0 when there is none.
double WavByteRate(const std::string& path) {
    std::array<unsigned char, 36> header{};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return 0;
    }
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(header[at]) | (header[at + 1] << 8) |
               (header[at + 2] << 16) | (static_cast<std::uint32_t>(header[at + 3]) << 24);
    };
    const std::string riff(header.begin(), header.begin() + 4);
    const std::string fmt(header.begin() + 12, header.begin() + 16);
    return riff == "RIFF" && fmt == "fmt " ? word(28) : 0;
}

} // namespace

double EstimateSourceSeconds(const std::string& path, int ac3Kbps) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return 0;
    }
    const std::string extension = SourceExtension(path);
    double bytesPerSecond = kMpegAudioBytesPerSecond;
    if (extension == ".AC3" && ac3Kbps > 0) {
        bytesPerSecond = ac3Kbps * 1000 / 8.0;
    } else if (extension == ".WAV") {
        bytesPerSecond = WavByteRate(path);
    } else if (extension == ".PCM") {
        bytesPerSecond = kLpcmBytesPerSecond;
    }
    return bytesPerSecond > 0 ? static_cast<double>(size) / bytesPerSecond : 0;
}

} // namespace cantova::jobs
