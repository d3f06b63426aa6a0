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
    // The processing changes the levels (a downmix, the Azid gain, a boost): an AC3 output's
    // dialogue level is then its own measured loudness, not the source's.
    bool processingChangesLevels = false;
    // The encoder's output decodes at its input's loudness (within 0.2 LU): the loudness mode
    // need not decode it to check.
    bool encoderKeepsLoudness = true;
    // The source decodes as float: its samples beyond full scale are overs, which a lower level
    // brings back whole, not clipping the output keeps whatever its level.
    bool sourceCarriesOvers = false;
};

// Where the output line's figures were measured.
enum class OutputMeasure {
    EncoderInput, // the samples the encoder received (for WAV: the samples written)
    DecodedFile,  // the written file, decoded as a player would
    DecodedPeaks, // peaks and clipped count decoded, loudness and range at the encoder's input
};

struct SoundReport {
    SoundFigures source;
    SoundFigures output;
    OutputMeasure measured = OutputMeasure::EncoderInput;
    // LU the loudness mode's output lies below its target where the ceiling limits it.
    std::optional<double> loudnessMissedByLu;
    // Where the limiter of the last encoding pass held the output at its ceiling.
    std::vector<TimeStretch> limited;
};

// What the output line adds: where it measured ("; measured ..."), and a loudness target the
// ceiling kept the output from ("; target missed by X LU: the ceiling limits it").
std::string outputLineEnd(const SoundReport& report);

// Runs the passes of the gain mode, with the over protection and the silence rule, and
// returns the figures of the report.
SoundReport runSoundPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log);

// The dialogue level an AC3 output of this loudness carries: dialnorm 1 to 31.
int dialogueLevelOf(double loudnessLufs);

} // namespace cantova
