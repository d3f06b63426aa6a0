#include "source_format.h"

#include "command_line_error.h"
#include "decimal_text.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>

namespace cantova {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string lowerFileName(const std::string& path) {
    return lowerCase(std::filesystem::path(path).filename().string());
}

std::string lowerExtension(const std::string& path) {
    return lowerCase(std::filesystem::path(path).extension().string());
}

} // namespace

bool isLpcmSource(const std::string& path) {
    return lowerExtension(path) == ".pcm";
}

bool isAc3Source(const std::string& path) {
    return lowerExtension(path) == ".ac3";
}

LpcmFormat lpcmFormatFromName(const std::string& path) {
    const std::string name = lowerFileName(path);
    LpcmFormat format;
    std::smatch match;
    std::optional<double> hertz;
    if (std::regex_search(name, match, std::regex(R"((\d+(?:[.,]\d+)?) ?khz)"))) {
        hertz = parseDecimal(match[1].str()).value_or(0.0) * 1000.0;
    } else if (std::regex_search(name, match, std::regex(R"((\d{4,6}) ?hz)"))) {
        hertz = parseDecimal(match[1].str()).value_or(0.0);
    }
    if (hertz) {
        if (!(*hertz >= kLowestSampleRate && *hertz <= kHighestSampleRate)) {
            throw CommandLineError("the LPCM input's name gives the sample rate " + match[0].str() +
                                   ", outside " + std::to_string(kLowestSampleRate) + " to " +
                                   std::to_string(kHighestSampleRate) + " Hz");
        }
        format.sampleRate = static_cast<int>(std::lround(*hertz));
    }
    if (std::regex_search(name, match, std::regex(R"((16|24) ?-?bits?)"))) {
        format.bitsPerSample = *parseInteger(match[1].str());
    }
    if (std::regex_search(name, match, std::regex(R"(([1-8]) ?ch)"))) {
        format.channels = *parseInteger(match[1].str());
    } else if (name.find("mono") != std::string::npos) {
        format.channels = 1;
    }
    return format;
}

std::optional<SourceInfo> readSourceProbe(const std::string& report) {
    std::smatch match;
    if (!std::regex_search(
            report, match,
            std::regex(R"( fmt:(\w+) channels:(\d+) chlayout:(.*) rate:(\d+) nb_samples:)"))) {
        return std::nullopt;
    }
    const std::optional<int> channels = parseInteger(match[2].str());
    const std::optional<int> rate = parseInteger(match[4].str());
    if (!channels || !rate || *rate <= 0) {
        return std::nullopt;
    }
    // A file that names no layout (a WAVE file without a channel mask) gets one guessed by
    // ffmpeg, which says so; the guess is not the file's, so the transcoder makes its own.
    const bool guessed = report.find("Guessed Channel Layout") != std::string::npos;
    const std::optional<ChannelNames> names =
        channelsOfLayout(guessed ? "" : match[3].str(), *channels);
    if (!names) {
        return std::nullopt;
    }
    SourceInfo info{*rate, *names, match[1].str() == "s16" || match[1].str() == "s16p"};
    // ffmpeg names the codec of the stream it reads: "Audio: pcm_s24le", "Audio: pcm_f32le".
    std::smatch codec;
    if (std::regex_search(report, codec, std::regex(R"(Audio: pcm_[suf](8|16|24|32|64))"))) {
        info.pcmBits = std::min(*parseInteger(codec[1].str()), 32);
    }
    return info;
}

std::vector<std::string> sourceReadArguments(const std::string& path,
                                             const std::optional<AzidOptions>& azid) {
    if (isLpcmSource(path)) {
        const LpcmFormat format = lpcmFormatFromName(path);
        return {"-f",  format.bitsPerSample == 24 ? "s24be" : "s16be",
                "-ar", std::to_string(format.sampleRate),
                "-ac", std::to_string(format.channels)};
    }
    if (!isAc3Source(path)) {
        return {};
    }
    // The AC3 decoder applies the stream's compression words unless told otherwise; the
    // full dynamic range is kept unless the job asks for compression.
    const std::optional<Compression> compression = azid.value_or(AzidOptions{}).compression;
    if (!compression) {
        return {"-drc_scale", "0"};
    }
    switch (*compression) {
    case Compression::Light:
        return {"-drc_scale", "0.5"};
    case Compression::Normal:
        return {"-drc_scale", "1"};
    case Compression::Heavy:
        return {"-drc_scale", "1", "-heavy_compr", "1"};
    }
    return {};
}

std::optional<double> delayFromFileName(const std::string& path) {
    const std::string name = lowerFileName(path);
    std::smatch match;
    if (!std::regex_search(name, match, std::regex(R"(delay ?([+-]?\d+(?:[.,]\d+)?) ?ms)"))) {
        return std::nullopt;
    }
    return parseDecimal(match[1].str());
}

} // namespace cantova
