#pragma once

#include "engine_commands.h"
#include "job_request.h"
#include "progress_reporter.h"
#include "run_log.h"
#include "sound_meter.h"
#include "wav_stream_meter.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// What one encoding pass applies after the job's processing.
struct PassSettings {
    double gainDb = 0.0;
    // The true-peak ceiling (dBTP) of a look-ahead limiter after the gain; none: no limiter.
    std::optional<double> limiterCeilingDb;
    EncoderFeed feed = EncoderFeed::SixteenBit;
    // The dialogue level an AC3 output carries (1 to 31 for -1 to -31 dBFS); none: the
    // encoder's default.
    std::optional<int> dialogueLevel;
};

struct EncodeFigures {
    std::optional<SoundFigures> source; // measured on the first encoding pass only
    SoundFigures output;                // the samples the encoder received
};

// The plan of the passes as the job sets it up: the source chain, the processing chain and the
// target; each pass adds its gain, limiter, dither and meters.
struct PassPlan {
    EncodePlan encode;
    // The samples change on their way (any filter, or a source that is not 16-bit): a 16-bit
    // output of them is dithered.
    bool samplesChanged = true;
};

// The engine passes of one job over its source and its written files. Every pass is logged; a
// pass whose engine fails, or reports that it could not write, ends the job.
class JobPasses {
public:
    JobPasses(PassPlan plan, std::vector<int> outputFiles, RunLog& log, ProgressReporter& progress);

    Target target() const { return plan_.encode.target; }

    // Encodes with the settings, measuring what the encoder receives (and the source, on the
    // first pass).
    EncodeFigures encode(const PassSettings& settings, int from, int to);

    // Measures the processed source, exactly as the encoding pass receives it before its gain.
    SoundFigures measureSource(MeterKind kind, int from, int to);

    // Reads the written files back: fails the job when they play shorter than the encoding
    // pass made them by more than one frame of the target. When a meter is asked for, they
    // are decoded as a player would and measured.
    std::optional<SoundFigures> checkWritten(std::optional<MeterKind> meter, int from, int to);

private:
    // Runs the engines, the first one's taps measured by the meters, in the order of its taps.
    std::vector<EngineOutcome> run(const std::vector<EngineCommand>& engines,
                                   std::vector<WavStreamMeter*> meters = {});
    EncodePlan passPlan(const PassSettings& settings) const;
    // The figures of a meter that has measured the samples of `what`.
    SoundFigures figuresOf(const WavStreamMeter& meter, const std::string& what) const;

    PassPlan plan_;
    std::vector<int> outputFiles_;
    RunLog& log_;
    ProgressReporter& progress_;
    long long plannedMicroseconds_ = 0;
    bool sourceMeasured_ = false;
};

} // namespace cantova
