#include "sound/filter_chain.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace cantova {

namespace {

// Decoders deliver float, planar float or integer samples; the job's filters work on float.
constexpr const char* kFloatSamples = "aformat=sample_fmts=flt";

// The constant beside the key of a limiter over more than two channels: far below any limit.
constexpr double kLimiterCarrier = 0.001;
// The true-peak limiter looks 2 ms ahead; its release is short, so that the quiet passages
// between loud hits keep their level.
constexpr double kTruePeakAttackMs = 2;
constexpr double kTruePeakReleaseMs = 100;

void addSplit(const JobRequest& job, std::vector<std::string>& filters) {
    if (!job.split || (!job.split->startSeconds && !job.split->endSeconds)) {
        return;
    }
    std::string trim = "atrim=start=" + formatDecimal(job.split->startSeconds.value_or(0.0));
    if (job.split->endSeconds) {
        trim += ":end=" + formatDecimal(*job.split->endSeconds);
    }
    filters.push_back(trim);
    filters.push_back("asetpts=PTS-STARTPTS");
}

void addDelay(double delayMs, std::vector<std::string>& filters) {
    if (delayMs > 0.0) {
        filters.push_back("adelay=delays=" + formatDecimal(delayMs) + ":all=1");
    } else if (delayMs < 0.0) {
        filters.push_back("atrim=start=" + formatDecimal(-delayMs / 1000.0));
        filters.push_back("asetpts=PTS-STARTPTS");
    }
}

const char* stereoModeName(StereoMode mode) {
    switch (mode) {
    case StereoMode::Plain:
        return "stereo";
    case StereoMode::DolbySurround:
        return "Dolby Surround";
    case StereoMode::ProLogic2:
        return "Pro Logic II";
    }
    return "";
}

void addChannelLayout(const JobRequest& job, const FilterContext& context,
                      std::vector<std::string>& filters, std::vector<std::string>& notes) {
    const AzidOptions azid = job.azid.value_or(AzidOptions{});
    ChannelMix mix;
    std::string what;
    switch (context.channels) {
    case OutputChannels::Stereo: {
        const StereoMode mode = azid.stereoMode.value_or(StereoMode::Plain);
        mix = stereoMix(context.sourceChannels, mode, context.mixLevels, azid.lfeMixFactor);
        what = std::string("mix: to stereo (") + stereoModeName(mode) + " matrix)";
        if (azid.lfeMixFactor) {
            if (const auto lowPass = lfeLowPassFilter(context.sourceChannels)) {
                filters.push_back(*lowPass);
            }
        }
        break;
    }
    case OutputChannels::FiveOne:
        mix = fiveOneMix(context.sourceChannels);
        what = "mix: to 5.1";
        if (azid.stereoMode) {
            notes.push_back("azid: -s ignored, the output keeps six channels");
        }
        if (azid.lfeMixFactor) {
            notes.push_back("azid: -L ignored, the output keeps the LFE as a channel of its own");
        }
        break;
    case OutputChannels::AsSource:
        if (azid.lfeMixFactor) {
            notes.push_back("azid: -L ignored, the output keeps the source's channels");
        }
        return;
    }
    const std::optional<std::string> filter = mixFilter(mix, context.sourceChannels);
    if (!filter) {
        return;
    }
    filters.push_back(*filter);
    notes.push_back(
        what + ", scaled by " +
        formatDecimal(std::round(20.0 * std::log10(mix.headroomScale) * 100.0) / 100.0) +
        " dB so that no output can exceed full scale");
}

void addBoost(const BoostOptions& boost, int channels, std::vector<std::string>& filters) {
    const std::string factor = formatDecimal(boost.factor);
    const std::string limiter =
        linkedLimiter({std::max(boost.limit, 0.0625), 5, 50, 1}, channels, 0, "boostlimit");
    switch (boost.algorithm) {
    case BoostAlgorithm::Rook:
        filters.push_back("volume=" + factor);
        filters.push_back(limiter);
        break;
    case BoostAlgorithm::Kestrel:
        filters.push_back("volume=" + factor);
        filters.push_back("asoftclip=type=tanh");
        break;
    case BoostAlgorithm::Wren:
        filters.push_back("acompressor=threshold=0.125:ratio=4:attack=10:release=200:makeup=" +
                          formatDecimal(std::clamp(boost.factor, 1.0, 64.0)));
        filters.push_back(limiter);
        break;
    }
}

} // namespace

std::vector<std::string> sourceFilters(const JobRequest& job, const FilterContext& context) {
    std::vector<std::string> filters = {kFloatSamples};
    addSplit(job, filters);
    addDelay(context.delayMs, filters);
    return filters;
}

std::vector<std::string> processingFilters(const JobRequest& job, const FilterContext& context,
                                           std::vector<std::string>& notes) {
    std::vector<std::string> filters = sourceFilters(job, context);
    if (context.dialogueGainDb != 0.0) {
        filters.push_back(gainFilter(context.dialogueGainDb));
    }
    addChannelLayout(job, context, filters, notes);
    if (job.azid && job.azid->gainFactor) {
        filters.push_back("volume=" + formatDecimal(*job.azid->gainFactor));
    }
    if (job.boost) {
        addBoost(*job.boost, outputChannelCount(context), filters);
    }
    if (context.resampleRate) {
        filters.push_back("aresample=" + std::to_string(*context.resampleRate) +
                          (context.soxrAvailable ? ":resampler=soxr" : ""));
    }
    if (filters.size() > 1) {
        filters.push_back(kFloatSamples);
    }
    return filters;
}

int outputChannelCount(const FilterContext& context) {
    switch (context.channels) {
    case OutputChannels::Stereo:
        return 2;
    case OutputChannels::FiveOne:
        return 6;
    case OutputChannels::AsSource:
        break;
    }
    return static_cast<int>(context.sourceChannels.size());
}

std::string gainFilter(double gainDb) {
    return "volume=" + formatDecimal(gainDb) + "dB";
}

std::string linkedLimiter(const LimiterSettings& settings, int channels, int sampleRate,
                          const std::string& label) {
    const std::string alimiter =
        "alimiter=limit=" + formatDecimal(std::round(settings.limit * 1e5) / 1e5) +
        ":attack=" + formatDecimal(settings.attackMs) +
        ":release=" + formatDecimal(settings.releaseMs) + ":level=disabled:latency=1";
    const bool oversampled = settings.oversampling > 1;
    const std::string up =
        oversampled ? "aresample=" + std::to_string(settings.oversampling * sampleRate) + "," : "";
    const std::string down = oversampled ? ",aresample=" + std::to_string(sampleRate) : "";
    if (channels <= 2) {
        return up + alimiter + down + (oversampled ? std::string(",") + kFloatSamples : "");
    }
    // ffmpeg's alimiter takes more than two channels each to the limit, however quiet, wherever
    // the loudest is not the first. It is given two channels instead: the largest magnitude of
    // all of them (the key) and a small constant. The constant comes out multiplied by the gain
    // the key was given, and that gain is applied to every channel alike.
    std::string key;
    for (int channel = 0; channel < channels; ++channel) {
        const std::string magnitude = "abs(val(" + std::to_string(channel) + "))";
        key = key.empty() ? magnitude : "max(" + key + "," + magnitude + ")";
    }
    std::string spread = "pan=" + std::to_string(channels) + "c";
    for (int channel = 0; channel < channels; ++channel) {
        spread +=
            "|c" + std::to_string(channel) + "=" + formatDecimal(1.0 / kLimiterCarrier) + "*c1";
    }
    const std::string main = "[" + label + "main]";
    const std::string gain = "[" + label + "gain]";
    return "asplit=2" + main + "[" + label + "key];[" + label + "key]" + up + "aeval=exprs='" +
           key + "|" + formatDecimal(kLimiterCarrier) + "':c=stereo," + alimiter + down + "," +
           spread + gain + ";" + main + gain + "amultiply," + kFloatSamples;
}

std::string truePeakLimiter(double ceilingDb, int sampleRate, int channels) {
    return linkedLimiter(
        {std::pow(10.0, ceilingDb / 20.0), kTruePeakAttackMs, kTruePeakReleaseMs, 4}, channels,
        sampleRate, "tplimit");
}

std::string joinFilters(const std::vector<std::string>& filters) {
    if (filters.empty()) {
        return "anull";
    }
    std::string chain;
    for (const std::string& filter : filters) {
        chain += (chain.empty() ? "" : ",") + filter;
    }
    return chain;
}

} // namespace cantova
