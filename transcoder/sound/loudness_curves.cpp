#include "sound/loudness_curves.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <cstdio>

namespace cantova {

namespace {

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

} // namespace

std::string loudnessCurvesText(const SoundReport& report,
                               const std::optional<LoudnessTarget>& target) {
    std::string text = "cantova-loudness 1\n";
    if (target) {
        text += "target " + formatDecimal(target->lufs) + "\n";
        text += "ceiling " + formatDecimal(target->truePeakCeilingDb) + "\n";
    }
    text += "integrated " + levelText(report.source.loudnessLufs) + " " +
            levelText(report.output.loudnessLufs) + "\n";
    text += "interval " + formatDecimal(kCurveIntervalSeconds) + "\n";
    for (const TimeStretch& stretch : report.limited) {
        text += "limiter " + secondsText(stretch.from) + " " + secondsText(stretch.to) + "\n";
    }
    const std::vector<double>& source = report.source.shortTermLufs;
    const std::vector<double>& output = report.output.shortTermLufs;
    for (std::size_t i = 0; i < std::min(source.size(), output.size()); ++i) {
        text += levelText(source[i]) + " " + levelText(output[i]) + "\n";
    }
    return text;
}

} // namespace cantova
