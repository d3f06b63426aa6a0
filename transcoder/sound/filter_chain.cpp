#include "sound/filter_chain.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace cantova {

namespace {

// Decoders deliver float, planar float or integer samples; the job's filters work on float.
constexpr const char* kFloatSamples = "aformat=sample_fmts=flt";

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

void addBoost(const BoostOptions& boost, std::vector<std::string>& filters) {
    const std::string factor = formatDecimal(boost.factor);
    const std::string limiter = "alimiter=limit=" + formatDecimal(std::max(boost.limit, 0.0625)) +
                                ":attack=5:release=50:level=disabled";
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
        addBoost(*job.boost, filters);
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

std::string gainFilter(double gainDb) {
    return "volume=" + formatDecimal(gainDb) + "dB";
}

std::string truePeakLimiter(double ceilingDb, int sampleRate) {
    const double limit = std::pow(10.0, ceilingDb / 20.0);
    return "aresample=" + std::to_string(4 * sampleRate) +
           ",alimiter=limit=" + formatDecimal(std::round(limit * 1e5) / 1e5) +
           ":attack=2:release=100:level=disabled,aresample=" + std::to_string(sampleRate) + "," +
           kFloatSamples;
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
