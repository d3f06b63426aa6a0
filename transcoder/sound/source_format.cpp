#include "sound/source_format.h"

#include "command/decimal_text.h"

#include <regex>

namespace cantova {

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
    return SourceInfo{*rate, *names, match[1].str() == "s16" || match[1].str() == "s16p"};
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

} // namespace cantova
