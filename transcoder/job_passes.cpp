#include "job_passes.h"

#include "command/decimal_text.h"
#include "engines/stop_request.h"
#include "files/written_length.h"
#include "sound/filter_chain.h"
#include "transcode_job.h"

#include <algorithm>
#include <cmath>

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

std::string roundedDecimal(double value) {
    return formatDecimal(std::round(value * 100.0) / 100.0);
}

} // namespace

JobPasses::JobPasses(PassPlan plan, std::vector<int> outputFiles, RunLog& log,
                     ProgressReporter& progress)
    : plan_(std::move(plan)), outputFiles_(std::move(outputFiles)), log_(log), progress_(progress) {
}

std::vector<EngineOutcome>
JobPasses::run(const std::vector<EngineCommand>& engines, std::vector<TapMeter> meters,
               std::optional<PipelineListener::GrowingFile> growingFile) {
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
    for (const TapMeter& tap : meters) {
        WavStreamMeter* meter = tap.meter;
        listener.taps.push_back({[meter] { return meter->room(); },
                                 [meter](std::size_t count) { meter->filled(count); }, tap.engine});
    }
    listener.growingFile = growingFile;
    std::vector<int> shared = outputFiles_;
    if (plan_.sourceFile >= 0) {
        shared.push_back(plan_.sourceFile);
    }
    std::vector<EngineOutcome> outcomes = runEnginePipeline(engines, listener, shared);
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

SoundFigures JobPasses::figuresOf(const WavStreamMeter& meter, const std::string& what) const {
    if (meter.meter() == nullptr) {
        throw JobFailure("ffmpeg did not report the levels of " + what);
    }
    return cantova::figuresOf(*meter.meter());
}

EncodePlan JobPasses::passPlan(const PassSettings& settings) const {
    EncodePlan plan = plan_.encode;
    std::vector<std::string> processing = {plan.processingChain};
    if (std::abs(settings.gainDb) >= 1e-6) {
        processing.push_back(gainFilter(settings.gainDb));
    }
    if (settings.limiterCeilingDb) {
        processing.push_back(
            truePeakLimiter(*settings.limiterCeilingDb, plan.outputRate, plan.outputChannels));
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
    if (!plan.encoderLayout.empty()) {
        tail.push_back("channelmap=channel_layout=" + plan.encoderLayout);
    }
    plan.feed = isLossy(plan.target) ? settings.feed : EncoderFeed::SixteenBit;
    const bool sixteenBit = (!isLossy(plan.target) && plan.wavBits == 16) ||
                            ((plan.target == Target::Mp3 || plan.target == Target::Ogg) &&
                             plan.feed == EncoderFeed::SixteenBit);
    const bool changed = plan_.samplesChanged || std::abs(settings.gainDb) >= 1e-6 ||
                         settings.limiterCeilingDb.has_value();
    if (sixteenBit && changed) {
        tail.push_back(kSixteenBitDither);
    }
    plan.tailChain = tail.empty() ? "" : joinFilters(tail);
    plan.meterOutput = true;
    plan.meterSource = !sourceMeasured_ && !encoderReceivesSource(settings);
    plan.decodeWhileWriting =
        settings.decodeWhileWriting && isLossy(plan.target) && plan.outputs.size() == 1;
    return plan;
}

bool JobPasses::encoderReceivesSource(const PassSettings& settings) const {
    return plan_.processingKeepsSamples && std::abs(settings.gainDb) < 1e-6 &&
           !settings.limiterCeilingDb;
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
    WavStreamMeter output(settings.limiterCeilingDb ? limiterHoldLevel(*settings.limiterCeilingDb)
                                                    : 0.0f);
    WavStreamMeter source;
    WavStreamMeter decoded;
    const std::vector<EngineCommand> engines = encodingEngines(plan);
    // In the order of the taps: the encoder's input, the source (a tap nobody writes where it
    // is not measured but the decoded output's follows), the decoded output.
    std::vector<TapMeter> meters = {{&output}};
    std::optional<PipelineListener::GrowingFile> written;
    if (plan.meterSource || plan.decodeWhileWriting) {
        meters.push_back({&source});
    }
    if (plan.decodeWhileWriting) {
        meters.push_back({&decoded, engines.size() - 1});
        written = PipelineListener::GrowingFile{outputFiles_.front(), engines.size() - 1};
    }
    run(engines, meters, written);
    EncodeFigures figures;
    figures.output = figuresOf(output, "the encoder's input");
    if (plan.decodeWhileWriting) {
        figures.decoded = figuresOf(decoded, "the output decoded while it was written");
        log_.write("measured while writing: " +
                   measuredText("decoded", *figures.decoded, MeterKind::FastPeak));
    }
    if (settings.limiterCeilingDb) {
        figures.limited = stretchesAtWatchedLevel(*output.meter());
    }
    if (plan.meterSource) {
        figures.source = figuresOf(source, "the source");
    } else if (!sourceMeasured_) {
        figures.source = figures.output; // the same samples, measured once
    }
    sourceMeasured_ = true;
    // What the encoder received: the measured samples less the AC3 encoder's delay, taken off
    // after the meter. The encoders take an empty input without complaint and write a valid
    // file of no length, which is not what anybody asked for.
    const long long cut = plan.target == Target::Ac3 ? kAc3EncoderDelaySamples : 0;
    const long long encoded = std::max(0LL, output.meter()->frames() - cut);
    plannedMicroseconds_ = encoded * 1000000 / output.sampleRate();
    if (encoded == 0) {
        throw JobFailure("no audio to encode: nothing is left of the source after the "
                         "split and the delay, or it holds none");
    }
    return figures;
}

SoundFigures JobPasses::measureSource(MeterKind kind, int from, int to) {
    progress_.beginPass(from, to);
    WavStreamMeter processed;
    run({measuringEngine(plan_.encode)}, {{&processed}});
    const SoundFigures figures = figuresOf(processed, "the processed source");
    log_.write("measured before encoding: " + measuredText("processed", figures, kind));
    return figures;
}

std::optional<SoundFigures> JobPasses::checkWritten(std::optional<MeterKind> kind, int from,
                                                    int to) {
    // The length the written files play: decoded by ffmpeg when they are to be measured as
    // well, else read from their frames (much cheaper than starting ffmpeg once more). A FLAC
    // file's own length is the one its header announces, whether its frames are all there or
    // not: it is always decoded.
    double played = INFINITY;
    int sampleRate = 0;
    WavStreamMeter decoded;
    if (kind || target() == Target::Flac) {
        progress_.beginPass(from, to);
        run({writtenFilesEngine(plan_.encode.outputs)}, {{&decoded}});
        if (decoded.meter() != nullptr) {
            sampleRate = decoded.sampleRate();
            played = static_cast<double>(decoded.meter()->frames()) / sampleRate;
        }
    } else {
        for (int fd : outputFiles_) {
            const std::optional<WrittenLength> length = writtenLength(fd, target());
            played = std::min(played, length ? length->seconds : 0.0);
            sampleRate = length ? length->sampleRate : sampleRate;
        }
    }
    const SoundFigures figures = kind ? figuresOf(decoded, "the written output") : SoundFigures{};
    const double planned = plannedMicroseconds_ / 1e6;
    const double frame = frameSamples(target()) / static_cast<double>(std::max(sampleRate, 8000));
    if (played < planned - frame - 0.001) {
        throw JobFailure("the output was not fully written: it plays " + roundedDecimal(played) +
                         " s of the " + roundedDecimal(planned) + " s encoded");
    }
    if (!kind) {
        return std::nullopt;
    }
    log_.write("measured after encoding: " + measuredText("decoded", figures, *kind));
    return figures;
}

} // namespace cantova
