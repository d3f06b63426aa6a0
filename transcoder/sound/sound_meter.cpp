#include "sound/sound_meter.h"

#include "command/decimal_text.h"

#include <cmath>
#include <cstdio>
#include <regex>

namespace cantova {

namespace {

// The true peak is found on a copy lowered by this much, so that overs keep their height when
// the copy is made 16-bit for volumedetect, which is quick.
constexpr int kTruePeakHeadroomDb = 20;
// volumedetect's reading where every sample is 0.
constexpr double kSilentVolumeDb = -91.0;
// ebur128 reports an integrated loudness of -70 LUFS when every block is gated out.
constexpr double kGatedOutLufs = -70.0;
// Full scale as a 16-bit sample reaches it: 32767 of 32768.
const double kSixteenBitFullScaleDb = 20.0 * std::log10(32767.0 / 32768.0);

std::optional<double> numberAfter(const std::string& text, std::size_t from, const char* key) {
    const std::size_t at = text.find(key, from);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::size_t begin = at + std::char_traits<char>::length(key);
    while (begin < text.size() && text[begin] == ' ') {
        ++begin;
    }
    const std::size_t end = text.find_first_of(" \r\n", begin);
    const std::string word = text.substr(begin, end - begin);
    if (word == "-inf") {
        return -INFINITY;
    }
    if (word == "inf") {
        return INFINITY;
    }
    return parseDecimal(word);
}

// The start of the last line of the filter instance "name" that holds key.
std::size_t messageOf(const std::string& text, const std::string& name, const std::string& key) {
    const std::string prefix = "[" + name + " @ ";
    for (std::size_t at = text.rfind(prefix); at != std::string::npos;
         at = at == 0 ? std::string::npos : text.rfind(prefix, at - 1)) {
        const std::size_t lineEnd = text.find('\n', at);
        if (text.substr(at, lineEnd - at).find(key) != std::string::npos) {
            return at;
        }
    }
    return std::string::npos;
}

} // namespace

std::string meterGraph(const std::string& tag, MeterKind kind, int sampleRate) {
    // Every measurement on a branch of its own, straight from the split: ffmpeg 5.1 cannot
    // settle the channel layout of a resampler behind ebur128. The samples at full scale are
    // counted in float (a conversion to 16 bit first would cost as much as the count). The
    // 16-bit copies are planar, which the converters write without interleaving.
    const std::string loudness = "ebur128@" + tag + "=framelog=verbose:peak=sample";
    const std::string truePeak = "[" + tag + "t]volume=-" + std::to_string(kTruePeakHeadroomDb) +
                                 "dB,aresample=" + std::to_string(4 * sampleRate) +
                                 ":filter_size=16:osf=s16p,volumedetect@" + tag + "t,anullsink";
    switch (kind) {
    case MeterKind::Peak:
        // The exact peak in float; the count on a 16-bit copy, in which every sample at or
        // above full scale (a float input may go above it) is at full scale.
        return "[" + tag + "]asplit=2[" + tag + "f][" + tag + "i];[" + tag + "f]astats@" + tag +
               "c=measure_perchannel=none:measure_overall=Peak_level,anullsink;[" + tag +
               "i]aformat=sample_fmts=s16p,astats@" + tag +
               "k=measure_perchannel=Peak_level+Peak_count:measure_overall=none,anullsink";
    case MeterKind::FastPeak:
        return "[" + tag + "]aformat=sample_fmts=s16p,volumedetect@" + tag + "p,anullsink";
    case MeterKind::Loudness:
        return "[" + tag + "]" + loudness + ",anullsink";
    case MeterKind::Levels:
        break;
    }
    return "[" + tag + "]asplit=2[" + tag + "m][" + tag + "t];[" + tag + "m]" + loudness +
           ",anullsink;" + truePeak;
}

// The samples at full scale: astats counts, per channel, the samples at its lowest and highest
// value; where one of them is full scale the signal has been clipped there.
long long fullScaleSamples(const std::string& errorOutput, const std::string& name) {
    const std::string prefix = "[" + name + " @ ";
    long long count = 0;
    bool atFullScale = false;
    for (std::size_t at = errorOutput.find(prefix); at != std::string::npos;
         at = errorOutput.find(prefix, at + 1)) {
        const std::size_t textAt = errorOutput.find("] ", at) + 2;
        const std::string text =
            errorOutput.substr(textAt, errorOutput.find('\n', textAt) - textAt);
        if (text.starts_with("Peak level dB:")) {
            atFullScale = numberAfter(text, 0, "Peak level dB:").value_or(-INFINITY) >=
                          kSixteenBitFullScaleDb - 1e-4;
        } else if (text.starts_with("Peak count:") && atFullScale) {
            count += std::llround(numberAfter(text, 0, "Peak count:").value_or(0.0));
        }
    }
    return count;
}

std::optional<SoundFigures> readMeter(const std::string& errorOutput, const std::string& tag,
                                      MeterKind kind) {
    SoundFigures figures;
    if (kind == MeterKind::Peak) {
        if (messageOf(errorOutput, "astats@" + tag + "k", "Peak count:") == std::string::npos) {
            return std::nullopt;
        }
        figures.clippedSamples = fullScaleSamples(errorOutput, "astats@" + tag + "k");
        const std::size_t peakAt = messageOf(errorOutput, "astats@" + tag + "c", "Peak level dB:");
        const auto samplePeak = peakAt == std::string::npos
                                    ? std::nullopt
                                    : numberAfter(errorOutput, peakAt, "Peak level dB:");
        if (!samplePeak) {
            return std::nullopt;
        }
        figures.samplePeakDb = figures.truePeakDb = *samplePeak;
        return figures;
    }
    if (kind == MeterKind::FastPeak) {
        const std::size_t peakAt =
            messageOf(errorOutput, "volumedetect@" + tag + "p", "max_volume:");
        const auto samplePeak = peakAt == std::string::npos
                                    ? std::nullopt
                                    : numberAfter(errorOutput, peakAt, "max_volume:");
        if (!samplePeak) {
            return std::nullopt;
        }
        // volumedetect says -91 dB where every sample is 0.
        figures.samplePeakDb = figures.truePeakDb =
            *samplePeak <= kSilentVolumeDb ? -INFINITY : *samplePeak;
        return figures;
    }
    const std::size_t summary = messageOf(errorOutput, "ebur128@" + tag, "Summary:");
    const std::size_t peakAt = summary == std::string::npos
                                   ? std::string::npos
                                   : errorOutput.find("Sample peak:", summary);
    const std::size_t truePeak =
        kind == MeterKind::Loudness
            ? std::string::npos
            : messageOf(errorOutput, "volumedetect@" + tag + "t", "max_volume:");
    if (peakAt == std::string::npos ||
        (kind != MeterKind::Loudness && truePeak == std::string::npos)) {
        return std::nullopt;
    }
    const auto samplePeak = numberAfter(errorOutput, peakAt, "Peak:");
    const auto loudness = numberAfter(errorOutput, summary, "I:");
    const auto range = numberAfter(errorOutput, summary, "LRA:");
    const auto lowered = kind == MeterKind::Loudness
                             ? std::optional<double>(-INFINITY)
                             : numberAfter(errorOutput, truePeak, "max_volume:");
    if (!samplePeak || !loudness || !range || !lowered) {
        return std::nullopt;
    }
    figures.samplePeakDb = *samplePeak;
    figures.loudnessLufs = std::isfinite(*samplePeak) ? *loudness : -INFINITY;
    figures.rangeLu = *range;
    // volumedetect works on 16-bit samples and gives one decimal, which the true peak never
    // lies below the sample peak by.
    figures.truePeakDb = std::isfinite(*samplePeak)
                             ? std::max(*lowered + kTruePeakHeadroomDb, *samplePeak)
                             : -INFINITY;
    if (figures.loudnessLufs <= kGatedOutLufs && std::isfinite(*samplePeak)) {
        figures.loudnessLufs = kGatedOutLufs;
    }
    return figures;
}

std::string levelText(double level) {
    if (!std::isfinite(level)) {
        return level < 0 ? "-inf" : "inf";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::round(level * 10.0) / 10.0 + 0.0);
    return text;
}

std::string measuredText(const std::string& what, const SoundFigures& figures, MeterKind kind) {
    std::string text = what + ": sample peak " + levelText(figures.samplePeakDb) + " dBFS";
    if (kind == MeterKind::Peak || kind == MeterKind::FastPeak) {
        return text;
    }
    if (kind == MeterKind::Levels) {
        text += ", true peak " + levelText(figures.truePeakDb) + " dBTP";
    }
    return text + ", loudness " + levelText(figures.loudnessLufs) + " LUFS, range " +
           levelText(std::isfinite(figures.loudnessLufs) ? figures.rangeLu : 0.0) + " LU";
}

std::string soundReportLine(const std::string& what, const SoundFigures& figures) {
    return "sound: " + measuredText(what, figures, MeterKind::Levels) + ", clipped " +
           std::to_string(figures.clippedSamples);
}

} // namespace cantova
