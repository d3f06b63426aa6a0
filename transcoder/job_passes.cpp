#include "job_passes.h"

#include "command/decimal_text.h"
#include "engines/stop_request.h"
#include "files/written_length.h"
#include "sound/filter_chain.h"
#include "transcode_job.h"

#include <algorithm>
#include <cmath>
#include <regex>

namespace cantova {

namespace {

// Lines by which the engines say that they could not write (ffmpeg, lame, oggenc). A broken
// pipe only follows the failure of the engine after it.
bool reportsWriteFailure(std::string_view line) {
    constexpr std::string_view kMarks[] = {
        "Error writing",  "Error closing file",      "av_interleaved_write_frame()",
        "Failed writing", "No space left on device", "File too large"};
    return line.find("Broken pipe") == std::string_view::npos &&
           std::any_of(std::begin(kMarks), std::end(kMarks), [&](std::string_view mark) {
               return line.find(mark) != std::string_view::npos;
           });
}

std::optional<std::string> writeFailure(const std::string& errorOutput) {
    std::size_t start = 0;
    while (start < errorOutput.size()) {
        std::size_t end = errorOutput.find_first_of("\r\n", start);
        end = end == std::string::npos ? errorOutput.size() : end;
        const std::string_view line = std::string_view(errorOutput).substr(start, end - start);
        if (reportsWriteFailure(line)) {
            return std::string(line);
        }
        start = end + 1;
    }
    return std::nullopt;
}

// The sample rate of the first audio stream ffmpeg reports reading.
std::optional<int> decodedSampleRate(const std::string& errorOutput) {
    std::smatch match;
    if (!std::regex_search(errorOutput, match, std::regex(R"(Audio: [^,]+, (\d+) Hz)"))) {
        return std::nullopt;
    }
    return parseInteger(match[1].str());
}

std::string roundedDecimal(double value) {
    return formatDecimal(std::round(value * 100.0) / 100.0);
}

} // namespace

JobPasses::JobPasses(PassPlan plan, std::vector<int> outputFiles, RunLog& log,
                     ProgressReporter& progress)
    : plan_(std::move(plan)), outputFiles_(std::move(outputFiles)), log_(log), progress_(progress) {
}

std::vector<EngineOutcome> JobPasses::run(const std::vector<EngineCommand>& engines) {
    if (stopRequested()) {
        throw JobFailure(stopReason());
    }
    for (const EngineCommand& engine : engines) {
        log_.write("engine: " + describeCommand(engine.arguments));
    }
    PipelineListener listener;
    listener.progressLine = [&](std::string_view line) { progress_.onProgressLine(line); };
    listener.firstEngineErrorLine = [&](std::string_view line) {
        progress_.onEngineErrorLine(line);
    };
    std::vector<EngineOutcome> outcomes = runEnginePipeline(engines, listener, outputFiles_);
    bool failed = false;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].succeeded()) {
            continue;
        }
        failed = true;
        log_.write("engine error output (" + engines[i].arguments[0] + ", exit status " +
                   std::to_string(outcomes[i].exitCode) + "):");
        log_.writeIndented(outcomes[i].errorOutput);
    }
    if (stopRequested()) {
        throw JobFailure(stopReason());
    }
    // Some engines end with success when they could not write (ffmpeg when it writes itself,
    // oggenc); the last engine writes the output, the ones before it feed it.
    for (std::size_t i = outcomes.size(); i-- > 0;) {
        if (const auto line = writeFailure(outcomes[i].errorOutput)) {
            if (outcomes[i].succeeded()) {
                log_.writeIndented(outcomes[i].errorOutput);
            }
            throw JobFailure("the output could not be written: " + engines[i].arguments[0] + ": " +
                             *line);
        }
    }
    if (failed) {
        throw JobFailure("an engine failed");
    }
    return outcomes;
}

void JobPasses::copyTrack() {
    progress_.beginPass(0, 100);
    const std::vector<EngineOutcome> outcomes = run({trackCopyEngine(plan_.encode)});
    if (progress_.passOutputMicroseconds().value_or(0) == 0) {
        throw JobFailure("no frames to copy: the track holds none");
    }
    for (int fd : outputFiles_) {
        if (!writtenLength(fd, Target::Ac3)) {
            throw JobFailure("the copied track holds no AC3 frames");
        }
    }
}

SoundFigures JobPasses::readFigures(const std::string& errorOutput, const std::string& tag,
                                    MeterKind kind, const std::string& what) {
    const std::optional<SoundFigures> figures = readMeter(errorOutput, tag, kind);
    if (!figures) {
        log_.writeIndented(errorOutput);
        throw JobFailure("ffmpeg did not report the levels of " + what);
    }
    return *figures;
}

EncodePlan JobPasses::passPlan(const PassSettings& settings) const {
    EncodePlan plan = plan_.encode;
    std::vector<std::string> processing = {plan.processingChain};
    if (std::abs(settings.gainDb) >= 1e-6) {
        processing.push_back(gainFilter(settings.gainDb));
    }
    if (settings.limiterCeilingDb) {
        processing.push_back(truePeakLimiter(*settings.limiterCeilingDb, plan.outputRate));
    }
    plan.processingChain = joinFilters(processing);
    std::vector<std::string> tail;
    if (plan.target == Target::Ac3) {
        tail.push_back(kAc3EncoderDelayCut);
        if (settings.dialogueLevel) {
            plan.encoderSwitches.insert(plan.encoderSwitches.end(),
                                        {"-dialnorm", std::to_string(-*settings.dialogueLevel)});
        }
    }
    plan.feed = plan.target == Target::Wav ? EncoderFeed::SixteenBit : settings.feed;
    const bool sixteenBit =
        plan.target == Target::Wav || ((plan.target == Target::Mp3 || plan.target == Target::Ogg) &&
                                       plan.feed == EncoderFeed::SixteenBit);
    const bool changed = plan_.samplesChanged || std::abs(settings.gainDb) >= 1e-6 ||
                         settings.limiterCeilingDb.has_value();
    if (sixteenBit && changed) {
        tail.push_back(kSixteenBitDither);
    }
    plan.tailChain = tail.empty() ? "" : joinFilters(tail);
    plan.meterOutput = true;
    plan.meterSource = !sourceMeasured_;
    return plan;
}

EncodeFigures JobPasses::encode(const PassSettings& settings, int from, int to) {
    progress_.beginPass(from, to);
    if (std::abs(settings.gainDb) >= 1e-6) {
        log_.write("gain: " + roundedDecimal(settings.gainDb) + " dB");
    }
    if (settings.limiterCeilingDb) {
        log_.write("limiter: true peaks above " + roundedDecimal(*settings.limiterCeilingDb) +
                   " dBTP are limited");
    }
    const EncodePlan plan = passPlan(settings);
    const std::vector<EngineOutcome> outcomes = run(encodingEngines(plan));
    // The encoders take an empty input without complaint and write a valid file of no
    // length, which is not what anybody asked for.
    plannedMicroseconds_ = progress_.passOutputMicroseconds().value_or(0);
    if (plannedMicroseconds_ == 0) {
        throw JobFailure("no audio to encode: nothing is left of the source after the "
                         "split and the delay, or it holds none");
    }
    const std::string& report = outcomes.front().errorOutput;
    EncodeFigures figures;
    if (plan.meterSource) {
        figures.source =
            exactAtFullScale(readFigures(report, kSourceMeter, MeterKind::Levels, "the source"),
                             MeterKind::Levels, sourcePeakEngine(plan), kSourceMeter, "the source");
        sourceMeasured_ = true;
    }
    figures.output = exactAtFullScale(
        readFigures(report, kOutputMeter, MeterKind::Levels, "the encoder's input"),
        MeterKind::Levels, measuringEngine(plan, MeterKind::Peak), kOutputMeter,
        "the encoder's input");
    return figures;
}

SoundFigures JobPasses::exactAtFullScale(SoundFigures figures, MeterKind kind,
                                         const EngineCommand& peakPass, const std::string& tag,
                                         const std::string& what) {
    if (kind == MeterKind::Peak || figures.samplePeakDb < kMayBeFullScaleDb) {
        return figures;
    }
    // Only audio at full scale can hold clipped samples: they are counted in a pass of its own,
    // which gives the exact peak as well.
    const SoundFigures peak =
        readFigures(run({peakPass}).front().errorOutput, tag, MeterKind::Peak, what);
    figures.samplePeakDb = peak.samplePeakDb;
    figures.truePeakDb = std::max(figures.truePeakDb, peak.samplePeakDb);
    figures.clippedSamples = peak.clippedSamples;
    return figures;
}

SoundFigures JobPasses::measureSource(MeterKind kind, int from, int to) {
    progress_.beginPass(from, to);
    const auto outcomes = run({measuringEngine(plan_.encode, kind)});
    const SoundFigures figures = exactAtFullScale(
        readFigures(outcomes.front().errorOutput, kOutputMeter, kind, "the processed source"), kind,
        measuringEngine(plan_.encode, MeterKind::Peak), kOutputMeter, "the processed source");
    log_.write("measured before encoding: " + measuredText("processed", figures, kind));
    return figures;
}

std::optional<SoundFigures> JobPasses::checkWritten(std::optional<MeterKind> meter, int from,
                                                    int to) {
    // The length the written files play: decoded by ffmpeg when they are to be measured as
    // well, else read from their frames (much cheaper than starting ffmpeg once more).
    double played = 0.0;
    int sampleRate = 0;
    std::string report;
    if (meter) {
        progress_.beginPass(from, to);
        report = run({writtenFilesEngine(plan_.encode.outputs, *meter, plan_.encode.outputRate)})
                     .front()
                     .errorOutput;
        played = progress_.passOutputMicroseconds().value_or(0) / 1e6;
        sampleRate = decodedSampleRate(report).value_or(0);
    } else {
        played = INFINITY;
        for (int fd : outputFiles_) {
            const std::optional<WrittenLength> length = writtenLength(fd, target());
            played = std::min(played, length ? length->seconds : 0.0);
            sampleRate = length ? length->sampleRate : sampleRate;
        }
    }
    const double planned = plannedMicroseconds_ / 1e6;
    const double frame = frameSamples(target()) / static_cast<double>(std::max(sampleRate, 8000));
    if (played < planned - frame - 0.001) {
        throw JobFailure("the output was not fully written: it plays " + roundedDecimal(played) +
                         " s of the " + roundedDecimal(planned) + " s encoded");
    }
    if (!meter) {
        return std::nullopt;
    }
    const SoundFigures figures = exactAtFullScale(
        readFigures(report, kOutputMeter, *meter, "the written output"), *meter,
        writtenFilesEngine(plan_.encode.outputs, MeterKind::Peak, plan_.encode.outputRate),
        kOutputMeter, "the written output");
    log_.write("measured after encoding: " + measuredText("decoded", figures, *meter));
    return figures;
}

} // namespace cantova
