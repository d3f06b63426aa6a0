#pragma once

#include "command/job_request.h"
#include "engines/engine_commands.h"
#include "engines/progress_reporter.h"
#include "files/run_log.h"
#include "sound/pass_runner.h"
#include "sound/sound_meter.h"
#include "sound/wav_stream_meter.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// The plan of the passes as the job sets it up: the source chain, the processing chain and the
// target; each pass adds its gain, limiter, dither and meters.
struct PassPlan {
    EncodePlan encode;
    // The samples change on their way (any filter, or a source that is not 16-bit): a 16-bit
    // output of them is dithered.
    bool samplesChanged = true;
    // The processing leaves the source's samples as they are: without a gain or a limiter the
    // encoder receives the source, which is then measured once for both lines of the report.
    bool processingKeepsSamples = false;
    // The source, opened once at the start; every pass hands it to the engines after the
    // written files, where encode.input names it.
    int sourceFile = -1;
};

// The engine passes of one job over its source and its written files. Every pass is logged; a
// pass whose engine fails, or reports that it could not write, ends the job.
class JobPasses : public PassRunner {
public:
    JobPasses(PassPlan plan, std::vector<int> outputFiles, RunLog& log, ProgressReporter& progress);

    Target target() const override { return plan_.encode.target; }

    EncodeFigures encode(const PassSettings& settings, int from, int to) override;
    SoundFigures measureSource(MeterKind kind, int from, int to) override;
    std::optional<SoundFigures> checkWritten(std::optional<MeterKind> meter, int from,
                                             int to) override;
    double lastPassSeconds() const override {
        return progress_.passOutputMicroseconds().value_or(0) / 1e6;
    }

    // Copies the frames of the plan's audio stream into the AC3 output as they are, and checks
    // that the written file holds AC3 frames. A track that is no AC3 fails the job.
    void copyTrack();

private:
    // A meter of the samples an engine writes to a tap.
    struct TapMeter {
        WavStreamMeter* meter;
        std::size_t engine = 0;
    };
    // Runs the engines, their taps measured by the meters, in the order of the taps.
    std::vector<EngineOutcome>
    run(const std::vector<EngineCommand>& engines, std::vector<TapMeter> meters = {},
        std::optional<PipelineListener::GrowingFile> growingFile = std::nullopt);
    EncodePlan passPlan(const PassSettings& settings) const;
    // The encoder receives exactly the source's samples in a pass with these settings.
    bool encoderReceivesSource(const PassSettings& settings) const;
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
