#pragma once

#include "command/job_request.h"
#include "files/run_log.h"
#include "sound/pass_runner.h"

namespace cantova {

// The gain mode of the job and what it needs to know.
struct SoundPlan {
    GainMode mode = GainMode::None;
    std::optional<LoudnessTarget> loudness;
    std::optional<int> sourceDialogueLevel; // of an AC3 source
    // The encoder's output decodes at its input's loudness (within 0.2 LU): the loudness mode
    // need not decode it to check.
    bool encoderKeepsLoudness = true;
};

struct SoundReport {
    SoundFigures source;
    SoundFigures output;
};

// Runs the passes of the gain mode, with the over protection and the silence rule, and
// returns the figures of the report.
SoundReport runSoundPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log);

// The dialogue level an AC3 output of this loudness carries: dialnorm 1 to 31.
int dialogueLevelOf(double loudnessLufs);

} // namespace cantova
