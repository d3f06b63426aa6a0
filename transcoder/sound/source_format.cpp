#include "sound/source_format.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>

namespace cantova {

namespace {

// The description of the first frame in ffmpeg's report: format, channels, layout, rate.
std::optional<std::smatch> frameDescription(const std::string& report) {
    std::smatch match;
    if (!std::regex_search(
            report, match,
            std::regex(R"( fmt:(\w+) channels:(\d+) chlayout:(.*) rate:(\d+) nb_samples:)"))) {
        return std::nullopt;
    }
    return match;
}

// ffmpeg's description of the input stream it reads: the one its stream mapping names ("Stream
// #0:2 -> #0:0"), among all the input's streams ("Stream #0:2[0x1101](eng): Audio: flac, ..."),
// else the first audio stream.
std::optional<std::string> readStreamDescription(const std::string& report) {
    const std::size_t mappingAt = report.find("Stream mapping:");
    const std::string input = report.substr(0, std::min(mappingAt, report.find("Output #")));
    std::string index = R"(\d+)";
    std::smatch mapped;
    const std::string mapping = mappingAt == std::string::npos ? "" : report.substr(mappingAt);
    if (std::regex_search(mapping, mapped, std::regex(R"(Stream #0:(\d+) -> )"))) {
        index = mapped[1].str();
    }
    std::smatch stream;
    if (!std::regex_search(input, stream,
                           std::regex(R"(Stream #0:)" + index +
                                      R"((?:\[\w+\])?(?:\([^)\n]*\))?: Audio: ([^\n]*))"))) {
        return std::nullopt;
    }
    return stream[1].str();
}

// The bits of the source's samples as ffmpeg describes the stream it reads: the codec of an
// uncoded stream ("Audio: pcm_s24le", "Audio: pcm_f32le"), or the depth a lossless coder keeps
// beside its integer format ("Audio: flac, 48000 Hz, stereo, s32 (24 bit)"); 0 for a lossy
// coder, whose decoder gives float samples of no depth of their own. Its own output's stream,
// described after the mapping, is PCM whatever the source.
int sourceSampleBits(const std::string& report) {
    const std::optional<std::string> description = readStreamDescription(report);
    if (!description) {
        return 0;
    }
    std::smatch bits;
    if (std::regex_search(*description, bits, std::regex(R"(^pcm_[suf](8|16|24|32|64))")) ||
        std::regex_search(*description, bits, std::regex(R"(, s(?:16|32)p? \((\d+) bit\))"))) {
        return std::min(*parseInteger(bits[1].str()), 32);
    }
    return 0;
}

} // namespace

std::optional<SourceInfo> readSourceProbe(const std::string& report) {
    const std::optional<std::smatch> description = frameDescription(report);
    if (!description) {
        return std::nullopt;
    }
    const std::smatch& match = *description;
    const std::optional<int> channels = parseInteger(match[2].str());
    const std::optional<int> rate = parseInteger(match[4].str());
    if (!channels || !rate || *rate < kLowestSampleRate || *rate > kHighestSampleRate ||
        *channels > kMostSourceChannels) {
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
    const std::string format = match[1].str();
    SourceInfo info{*rate, *names, format == "s16" || format == "s16p"};
    info.pcmBits = sourceSampleBits(report);
    info.floatSamples = format.starts_with("flt") || format.starts_with("dbl");
    return info;
}

std::optional<std::string> refusedSourceReason(const std::string& report) {
    const std::optional<std::smatch> description = frameDescription(report);
    if (!description || readSourceProbe(report)) {
        return std::nullopt;
    }
    const std::string channels = (*description)[2].str();
    const std::string rate = (*description)[4].str();
    const std::optional<int> rateHz = parseInteger(rate);
    if (!rateHz || *rateHz < kLowestSampleRate || *rateHz > kHighestSampleRate) {
        return "has a sample rate of " + rate + " Hz; the program takes " +
               std::to_string(kLowestSampleRate) + " to " + std::to_string(kHighestSampleRate) +
               " Hz";
    }
    const std::optional<int> count = parseInteger(channels);
    if (count && *count > kMostSourceChannels) {
        return "has " + channels + " channels, more than the " +
               std::to_string(kMostSourceChannels) + " the program takes";
    }
    return "has " + channels +
           " channels in no layout the program knows; without a layout named in the file it "
           "takes 1 to 8, 16 or 24 channels";
}

std::optional<double> trackStartDelayMs(const std::string& streamStarts, int track) {
    std::optional<double> picture;
    std::optional<double> audio;
    int audioSeen = 0;
    std::set<std::string> indexesSeen;
    std::size_t start = 0;
    while (start < streamStarts.size()) {
        std::size_t end = streamStarts.find('\n', start);
        end = end == std::string::npos ? streamStarts.size() : end;
        std::smatch match;
        const std::string line = streamStarts.substr(start, end - start);
        start = end + 1;
        if (!std::regex_match(line, match, std::regex(R"((\d+),(\w+),([^,]*),?(\d*),?\r?)")) ||
            !indexesSeen.insert(match[1].str()).second) {
            continue;
        }
        const std::optional<double> seconds = parseDecimal(match[3].str());
        if (match[2] == "video" && match[4] != "1" && !picture) {
            picture = seconds ? seconds : std::optional<double>(std::nan(""));
        } else if (match[2] == "audio" && ++audioSeen == track) {
            audio = seconds;
        }
    }
    if (!picture || std::isnan(*picture) || !audio) {
        return std::nullopt;
    }
    return std::round((*audio - *picture) * 1000000.0) / 1000.0;
}

std::vector<std::string> sourceReadArguments(const std::string& path,
                                             const std::optional<AzidOptions>& azid,
                                             bool containerTrack) {
    if (isLpcmSource(path)) {
        const LpcmFormat format = lpcmFormatFromName(path);
        return {"-f",  format.bitsPerSample == 24 ? "s24be" : "s16be",
                "-ar", std::to_string(format.sampleRate),
                "-ac", std::to_string(format.channels)};
    }
    if (!isAc3Source(path) && !containerTrack) {
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

} // namespace cantova
