#include "job_passes.h"

#include "decimal_text.h"
#include "filter_chain.h"
#include "stop_request.h"
#include "transcode_job.h"
#include "written_length.h"

#include <algorithm>
#include <cmath>
#include <regex>

namespace cantova {

namespace {

constexpr double kGainToleranceDb = 0.05;
// How many times an encoded output whose decoded peak lies above full scale is encoded again,
// and how much more than the overshoot each time takes off.
constexpr int kOvershootPasses = 3;
constexpr double kOvershootMarginDb = 0.02;

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

JobPasses::JobPasses(EncodePlan plan, std::vector<std::string> filters,
                     std::vector<int> outputFiles, RunLog& log, ProgressReporter& progress)
    : plan_(std::move(plan)), filters_(std::move(filters)), outputFiles_(std::move(outputFiles)),
      log_(log), progress_(progress) {}

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

double JobPasses::loggedPeak(const std::string& errorOutput, const std::string& when) {
    auto peak = peakLevelDb(errorOutput);
    if (!peak || !std::isfinite(*peak)) {
        log_.write("gain: no peak found " + when + " (silent), no gain applied");
        return -INFINITY;
    }
    log_.write("gain: peak " + roundedDecimal(*peak) + " dBFS " + when);
    return *peak;
}

std::optional<double> JobPasses::encode(double gainDb, int from, int to, bool measureInput) {
    progress_.beginPass(from, to);
    std::vector<std::string> filters = filters_;
    if (std::abs(gainDb) >= 1e-6) {
        log_.write("gain: " + roundedDecimal(gainDb) + " dB");
        filters.push_back(gainFilter(gainDb));
    }
    if (measureInput) {
        filters.push_back(kPeakMeasuringFilter);
    }
    EncodePlan plan = plan_;
    plan.filterChain = joinFilters(filters);
    writtenPeak_.reset();
    writtenChecked_ = false;
    const std::vector<EngineOutcome> outcomes = run(encodingEngines(plan));
    // The encoders take an empty input without complaint and write a valid file of no
    // length, which is not what anybody asked for.
    plannedMicroseconds_ = progress_.passOutputMicroseconds().value_or(0);
    if (plannedMicroseconds_ == 0) {
        throw JobFailure("no audio to encode: nothing is left of the source after the "
                         "split and the delay, or it holds none");
    }
    if (!measureInput) {
        return std::nullopt;
    }
    return loggedPeak(outcomes.front().errorOutput, "before encoding") - gainDb;
}

double JobPasses::measureSource(int from, int to) {
    progress_.beginPass(from, to);
    const auto outcomes =
        run({peakMeasuringEngine(plan_.sourceArguments, plan_.input, joinFilters(filters_))});
    return loggedPeak(outcomes.front().errorOutput, "before encoding");
}

std::optional<double> JobPasses::checkWritten(int from, int to, bool measurePeak) {
    if (writtenPeak_ || (writtenChecked_ && !measurePeak)) {
        return writtenPeak_;
    }
    // The length the written files play: decoded by ffmpeg when the peak is needed as well,
    // else read from their frames (much cheaper than starting ffmpeg once more).
    double played = 0.0;
    int sampleRate = 0;
    std::string report;
    if (measurePeak) {
        progress_.beginPass(from, to);
        report = run({writtenFilesEngine(plan_.outputs)}).front().errorOutput;
        played = progress_.passOutputMicroseconds().value_or(0) / 1e6;
        sampleRate = decodedSampleRate(report).value_or(0);
    } else {
        played = INFINITY;
        for (int fd : outputFiles_) {
            const std::optional<WrittenLength> length = writtenLength(fd, plan_.target);
            played = std::min(played, length ? length->seconds : 0.0);
            sampleRate = length ? length->sampleRate : sampleRate;
        }
    }
    const double planned = plannedMicroseconds_ / 1e6;
    const double frame =
        frameSamples(plan_.target) / static_cast<double>(std::max(sampleRate, 8000));
    if (played < planned - frame - 0.001) {
        throw JobFailure("the output was not fully written: it plays " + roundedDecimal(played) +
                         " s of the " + roundedDecimal(planned) + " s encoded");
    }
    writtenChecked_ = true;
    if (measurePeak) {
        writtenPeak_ = loggedPeak(report, "after encoding");
    }
    return writtenPeak_;
}

double fullScaleGain(double peakDb) {
    static const double kFullScaleDb = 20.0 * std::log10(32767.0 / 32768.0);
    return std::isfinite(peakDb) ? kFullScaleDb - peakDb : 0.0;
}

void runGainPasses(JobPasses& passes, GainMode mode, bool lossy) {
    double gain = 0.0;
    switch (mode) {
    case GainMode::None:
        passes.encode(0.0, 0, 95);
        passes.checkWritten(95, 100, false);
        return;
    case GainMode::PeakBeforeEncoding:
    case GainMode::Hybrid:
        gain = fullScaleGain(passes.measureSource(0, 30));
        passes.encode(gain, 30, 85);
        break;
    case GainMode::PeakAfterEncoding: {
        const double inputPeak = passes.encode(0.0, 0, 40, true).value_or(-INFINITY);
        const double encodedPeak = *passes.checkWritten(40, 50, true);
        // The decoded output is brought to full scale, but never by more gain than the
        // encoder's 16-bit input can take: where the encoded peak lies below the input's, the
        // input would be clipped.
        gain = fullScaleGain(std::max(encodedPeak, inputPeak));
        if (std::abs(gain) >= kGainToleranceDb) {
            passes.encode(gain, 50, 85);
        } else {
            gain = 0.0;
        }
        break;
    }
    }
    if (!lossy) {
        passes.checkWritten(85, 100, false);
        return;
    }
    double peak = *passes.checkWritten(85, 95, true);
    for (int pass = 1; peak > 0.0 && pass <= kOvershootPasses; ++pass) {
        gain -= peak + kOvershootMarginDb * pass;
        passes.encode(gain, 95, 99);
        peak = *passes.checkWritten(99, 100, true);
    }
}

} // namespace cantova
