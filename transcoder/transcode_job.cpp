#include "transcode_job.h"

#include "ac3_dialogue_level.h"
#include "decimal_text.h"
#include "engine_commands.h"
#include "filter_chain.h"
#include "lame_translation.h"
#include "output_files.h"
#include "source_format.h"
#include "stop_request.h"

#include <cmath>
#include <filesystem>
#include <optional>

namespace cantova {

namespace {

namespace fs = std::filesystem;

constexpr double kGainToleranceDb = 0.05;

// Runs one pass, writing each engine command into the log; on failure the engines' own error
// output goes into the log as well.
std::vector<EngineOutcome> runLogged(const std::vector<EngineCommand>& engines, RunLog& log,
                                     ProgressReporter& progress) {
    if (stopRequested()) {
        throw JobFailure("stopped by a signal");
    }
    for (const EngineCommand& engine : engines) {
        log.write("engine: " + describeCommand(engine.arguments));
    }
    PipelineListener listener;
    listener.progressLine = [&](std::string_view line) { progress.onProgressLine(line); };
    listener.firstEngineErrorLine = [&](std::string_view line) {
        progress.onEngineErrorLine(line);
    };
    std::vector<EngineOutcome> outcomes = runEnginePipeline(engines, listener);
    bool failed = false;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].succeeded()) {
            continue;
        }
        failed = true;
        log.write("engine error output (" + engines[i].arguments[0] + ", exit status " +
                  std::to_string(outcomes[i].exitCode) + "):");
        log.writeIndented(outcomes[i].errorOutput);
    }
    if (stopRequested()) {
        throw JobFailure("stopped by a signal");
    }
    if (failed) {
        throw JobFailure("an engine failed");
    }
    return outcomes;
}

std::optional<double> peakLevelDb(const std::string& errorOutput) {
    constexpr std::string_view key = "Peak level dB: ";
    const auto at = errorOutput.rfind(key);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto end = errorOutput.find_first_of("\r\n", at);
    return parseDecimal(
        std::string_view(errorOutput).substr(at + key.size(), end - at - key.size()));
}

bool soxrAvailable() {
    std::vector<EngineCommand> probe = {EngineCommand{
        {"ffmpeg", "-hide_banner", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
         "anullsrc=d=0.01", "-af", "aresample=22050:resampler=soxr", "-f", "null", "-"}}};
    return runEnginePipeline(probe, {}).front().succeeded();
}

double resolveDelay(const JobRequest& job, RunLog& log) {
    if (!job.ota) {
        return 0.0;
    }
    if (!job.ota->autoDelay) {
        return job.ota->delayMs;
    }
    auto delay = delayFromFileName(job.core.input);
    if (!delay) {
        log.write("delay: no \"DELAY Nms\" in the input's name, no delay applied");
        return 0.0;
    }
    log.write("delay: " + formatDecimal(*delay) + " ms from the input's name");
    return *delay;
}

double resolveDialogueGain(const JobRequest& job, RunLog& log) {
    if (!job.azid || !job.azid->dialogueNormalisation) {
        return 0.0;
    }
    auto level = isAc3Source(job.core.input) ? readAc3DialogueLevel(job.core.input) : std::nullopt;
    if (!level) {
        log.write("azid: -n1 ignored, the input carries no AC3 dialogue level");
        return 0.0;
    }
    const double gain = dialogueNormalisationGainDb(*level);
    log.write("azid: dialogue level -" + std::to_string(*level) + " dBFS, gain " +
              formatDecimal(gain) + " dB");
    return gain;
}

GainMode effectiveGainMode(const JobRequest& job, Target target) {
    GainMode mode = job.ota ? job.ota->gain : GainMode::None;
    if (mode == GainMode::None && job.azid && job.azid->maximize) {
        mode = GainMode::PeakBeforeEncoding;
    }
    // Without an encoder the written samples are the processed ones, so measuring after
    // "encoding" is measuring before it.
    if (target == Target::Wav && mode != GainMode::None) {
        mode = GainMode::PeakBeforeEncoding;
    }
    return mode;
}

std::vector<std::string> encoderSwitches(const JobRequest& job, Target target, RunLog& log) {
    switch (target) {
    case Target::Mp3: {
        LameTranslation lame = translateLameSwitches(*job.lame);
        for (const std::string& note : lame.notes) {
            log.write(note);
        }
        return lame.arguments;
    }
    case Target::Ogg:
        return oggencSwitches(*job.ogg);
    case Target::Ac3:
        return {"-b:a", std::to_string(job.ac3enc->bitrate) + "k"};
    case Target::Wav:
        break;
    }
    return {};
}

class JobPasses {
public:
    JobPasses(EncodePlan plan, std::vector<std::string> filters, RunLog& log,
              ProgressReporter& progress)
        : plan_(std::move(plan)), filters_(std::move(filters)), log_(log), progress_(progress) {}

    void encode(double gainDb, int from, int to) { runEncode(gainDb, from, to, false); }

    // Encodes at unity gain and measures, in the same pass, the peak of the encoder's input.
    double encodeMeasuringInput(int from, int to) {
        const std::vector<EngineOutcome> outcomes = runEncode(0.0, from, to, true);
        return loggedPeak(outcomes.front().errorOutput, "before encoding");
    }

    // The peak of the processed source, before any encoder.
    double measureSource(int from, int to) {
        return measure(plan_.sourceArguments, plan_.input, joinFilters(filters_), from, to,
                       "before encoding");
    }

    // The peak of the encoded file as a decoder plays it back.
    double measureEncoded(int from, int to) {
        return measure({}, plan_.outputs.front(), "anull", from, to, "after encoding");
    }

private:
    std::vector<EngineOutcome> runEncode(double gainDb, int from, int to, bool measureInput) {
        progress_.beginPass(from, to);
        std::vector<std::string> filters = filters_;
        if (std::abs(gainDb) >= kGainToleranceDb) {
            log_.write("gain: " + formatDecimal(std::round(gainDb * 100.0) / 100.0) + " dB");
            filters.push_back(gainFilter(gainDb));
        }
        if (measureInput) {
            filters.push_back(kPeakMeasuringFilter);
        }
        EncodePlan plan = plan_;
        plan.filterChain = joinFilters(filters);
        std::vector<EngineOutcome> outcomes = runLogged(encodingEngines(plan), log_, progress_);
        // The encoders take an empty input without complaint and write a valid file of no
        // length, which is not what anybody asked for.
        if (progress_.passOutputMicroseconds() == 0) {
            throw JobFailure("no audio to encode: nothing is left of the source after the "
                             "split and the delay, or it holds none");
        }
        return outcomes;
    }

    double loggedPeak(const std::string& errorOutput, const std::string& when) {
        auto peak = peakLevelDb(errorOutput);
        if (!peak || !std::isfinite(*peak)) {
            log_.write("gain: no peak found " + when + " (silent input), no gain applied");
            return 0.0;
        }
        log_.write("gain: peak " + formatDecimal(std::round(*peak * 100.0) / 100.0) + " dBFS " +
                   when);
        return *peak;
    }

    double measure(const std::vector<std::string>& sourceArguments, const std::string& input,
                   const std::string& chain, int from, int to, const std::string& when) {
        progress_.beginPass(from, to);
        auto outcomes =
            runLogged({peakMeasuringEngine(sourceArguments, input, chain)}, log_, progress_);
        return loggedPeak(outcomes.front().errorOutput, when);
    }

    EncodePlan plan_;
    std::vector<std::string> filters_;
    RunLog& log_;
    ProgressReporter& progress_;
};

void runPasses(JobPasses& passes, GainMode mode) {
    switch (mode) {
    case GainMode::None:
        passes.encode(0.0, 0, 100);
        return;
    case GainMode::PeakBeforeEncoding:
        passes.encode(-passes.measureSource(0, 40), 40, 100);
        return;
    case GainMode::PeakAfterEncoding: {
        const double inputPeak = passes.encodeMeasuringInput(0, 45);
        const double encodedPeak = passes.measureEncoded(45, 55);
        // The decoded output is brought to full scale, but never by more gain than the
        // encoder's 16-bit input can take: where the encoded peak lies below the input's, the
        // input would be clipped.
        const double gain = -std::max(encodedPeak, inputPeak);
        if (std::abs(gain) >= kGainToleranceDb) {
            passes.encode(gain, 55, 100);
        }
        return;
    }
    case GainMode::Hybrid: {
        const double gain = -passes.measureSource(0, 30);
        passes.encode(gain, 30, 75);
        const double overshoot = passes.measureEncoded(75, 85);
        if (overshoot >= kGainToleranceDb) {
            passes.encode(gain - overshoot, 85, 100);
        }
        return;
    }
    }
}

void checkPaths(const JobRequest& job) {
    std::error_code error;
    if (!fs::is_regular_file(job.core.input, error)) {
        throw JobFailure("the input " + job.core.input + " is not a readable file");
    }
    if (fs::equivalent(job.core.input, job.core.output, error)) {
        throw JobFailure("the output " + job.core.output + " is the input itself");
    }
}

} // namespace

double expectedOutputSeconds(const JobRequest& job, double delayMs, double sourceSeconds) {
    double start = 0.0;
    double end = sourceSeconds;
    if (job.split) {
        start = job.split->startSeconds.value_or(0.0);
        end = std::min(end, job.split->endSeconds.value_or(end));
    }
    return std::max(0.0, end - start + delayMs / 1000.0);
}

std::vector<std::string> runTranscodeJob(const JobRequest& job, RunLog& log,
                                         ProgressReporter& progress) {
    const Target target = targetOf(job);
    checkPaths(job);
    const bool sixMonoFiles =
        target == Target::Wav && job.core.wavChannels == WavChannels::SixMonoFiles;

    FilterContext context;
    context.channels = outputChannelsOf(job, target);
    context.delayMs = resolveDelay(job, log);
    context.dialogueGainDb = resolveDialogueGain(job, log);
    context.soxrAvailable = job.ssrc && soxrAvailable();
    if (job.ssrc && !context.soxrAvailable) {
        log.write("ssrc: soxr is not available, ffmpeg's own resampler is used");
    }
    if (job.ssrc) {
        // Resampled once, to a rate the target can carry: the encoder would otherwise
        // resample the resampled signal again, and still say nothing.
        context.resampleRate = targetSampleRate(target, job.ssrc->rate);
        if (*context.resampleRate != job.ssrc->rate) {
            log.write("ssrc: the target cannot carry " + std::to_string(job.ssrc->rate) +
                      " Hz, resampled to " + std::to_string(*context.resampleRate) + " Hz");
        }
    }
    std::vector<std::string> notes;
    std::vector<std::string> filters = processingFilters(job, context, notes);
    for (const std::string& note : notes) {
        log.write(note);
    }

    OutputFiles outputs(job.core.output,
                        sixMonoFiles ? monoChannelNames() : std::vector<std::string>{});
    EncodePlan plan;
    plan.target = target;
    plan.sixMonoFiles = sixMonoFiles;
    plan.sourceArguments = sourceReadArguments(job.core.input, job.azid);
    plan.input = job.core.input;
    plan.encoderSwitches = encoderSwitches(job, target, log);
    plan.outputs = outputs.temporaryPaths();

    JobPasses passes(plan, filters, log, progress);
    runPasses(passes, effectiveGainMode(job, target));
    try {
        outputs.commit();
    } catch (const std::runtime_error& error) {
        throw JobFailure(error.what());
    }
    progress.finish();
    return outputs.finalPaths();
}

} // namespace cantova
