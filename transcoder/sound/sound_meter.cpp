#include "sound/sound_meter.h"

#include <cmath>
#include <cstdio>

namespace cantova {

namespace {

// The loudness given where sound is there but every block lies below the absolute gate.
constexpr double kGatedOutLufs = -70.0;
// The meter measures in steps of 100 ms.
constexpr double kStepsPerSecond = 10.0;
constexpr auto kStepsPerCurvePoint =
    static_cast<std::size_t>(kCurveIntervalSeconds * kStepsPerSecond + 0.5);
// How far below its ceiling a limiter is taken to hold the audio.
constexpr double kLimiterHoldDb = 0.5;

double decibels(float level) {
    return level > 0.0f ? 20.0 * std::log10(static_cast<double>(level)) : -INFINITY;
}

} // namespace

SoundFigures figuresOf(const PcmMeter& meter) {
    SoundFigures figures;
    figures.samplePeakDb = decibels(meter.samplePeak());
    figures.truePeakDb = decibels(meter.truePeak());
    figures.clippedSamples = meter.clippedSamples();
    if (std::isfinite(figures.samplePeakDb)) {
        figures.loudnessLufs = std::max(meter.integratedLoudness(), kGatedOutLufs);
        figures.rangeLu = meter.loudnessRange();
    }
    const std::vector<double> everyStep = meter.shortTermLoudness();
    for (std::size_t step = kStepsPerCurvePoint; step <= everyStep.size();
         step += kStepsPerCurvePoint) {
        figures.shortTermLufs.push_back(everyStep[step - 1]);
    }
    return figures;
}

float limiterHoldLevel(double ceilingDb) {
    return static_cast<float>(std::pow(10.0, (ceilingDb - kLimiterHoldDb) / 20.0));
}

std::vector<TimeStretch> stretchesAtWatchedLevel(const PcmMeter& meter) {
    std::vector<TimeStretch> stretches;
    const std::vector<bool>& steps = meter.stepsReachingWatchedLevel();
    for (std::size_t step = 0; step < steps.size(); ++step) {
        if (!steps[step]) {
            continue;
        }
        const double from = static_cast<double>(step) / kStepsPerSecond;
        const double to = static_cast<double>(step + 1) / kStepsPerSecond;
        if (step > 0 && steps[step - 1]) {
            stretches.back().to = to;
        } else {
            stretches.push_back({from, to});
        }
    }
    return stretches;
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
