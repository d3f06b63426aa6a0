#include "sound/sound_passes.h"

#include "command/decimal_text.h"
#include "sound/gain_passes.h"
#include "sound/loudness_passes.h"
#include "sound/peak_gain_passes.h"

#include <algorithm>
#include <cmath>

namespace cantova {

std::string hundredths(double value) {
    return formatDecimal(std::round(value * 100.0) / 100.0);
}

std::string outputLineEnd(const SoundReport& report) {
    std::string end;
    switch (report.measured) {
    case OutputMeasure::EncoderInput:
        end = "; measured at the encoder's input";
        break;
    case OutputMeasure::DecodedFile:
        end = "; measured on the decoded file";
        break;
    case OutputMeasure::DecodedPeaks:
        end = "; peaks measured on the decoded file, the rest at the encoder's input";
        break;
    }
    if (report.loudnessMissedByLu) {
        end += "; target missed by " + levelText(*report.loudnessMissedByLu) +
               " LU: the ceiling limits it";
    }
    return end;
}

int dialogueLevelOf(double loudnessLufs) {
    if (!std::isfinite(loudnessLufs)) {
        return 31;
    }
    return std::clamp(static_cast<int>(std::lround(-loudnessLufs)), 1, 31);
}

SoundReport runSoundPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log) {
    switch (plan.mode) {
    case GainMode::PeakBeforeEncoding:
    case GainMode::Hybrid:
    case GainMode::PeakAfterEncoding:
        return runPeakGainPasses(passes, plan, log);
    case GainMode::Loudness:
        return runLoudnessPasses(passes, plan, log);
    case GainMode::None:
        break;
    }
    GainPasses plain(passes, plan, log);
    plain.plain(0);
    return plain.finish();
}

} // namespace cantova
