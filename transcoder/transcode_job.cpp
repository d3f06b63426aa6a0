#include "transcode_job.h"

#include "command/bitrate_choice.h"
#include "command/decimal_text.h"
#include "engines/engine_check.h"
#include "engines/engine_commands.h"
#include "engines/lame_translation.h"
#include "engines/stop_request.h"
#include "files/curves_file.h"
#include "files/output_files.h"
#include "files/output_folder_tidying.h"
#include "job_passes.h"
#include "sound/ac3_header.h"
#include "sound/filter_chain.h"
#include "sound/loudness_curves.h"
#include "sound/sound_passes.h"
#include "sound/source_format.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

std::string folderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

bool soxrAvailable() {
    std::vector<EngineCommand> probe = {EngineCommand{
        {"ffmpeg", "-hide_banner", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
         "anullsrc=d=0.01", "-af", "aresample=22050:resampler=soxr", "-f", "null", "-"}}};
    return runEnginePipeline(probe, {}).front().succeeded();
}

// The start of a container's track after the picture's, from ffprobe.
double trackDelay(int sourceFile, int track, RunLog& log) {
    const EngineCommand probe = streamStartsEngine(sharedDescriptorPath(0));
    log.write("engine: " + describeCommand(probe.arguments));
    const EngineOutcome outcome = runEnginePipeline({probe}, {}, {sourceFile}).front();
    const std::optional<double> delay =
        outcome.succeeded() ? trackStartDelayMs(outcome.errorOutput, track) : std::nullopt;
    if (!delay) {
        log.write("delay: the input tells no start of track " + std::to_string(track) +
                  " after a picture, no delay applied");
        return 0.0;
    }
    log.write("delay: " + formatDecimal(*delay) + " ms from the start of track " +
              std::to_string(track));
    return *delay;
}

double resolveDelay(const JobRequest& job, int sourceFile, RunLog& log) {
    if (!job.ota) {
        return 0.0;
    }
    if (!job.ota->autoDelay) {
        return job.ota->delayMs;
    }
    if (job.core.track) {
        return trackDelay(sourceFile, *job.core.track, log);
    }
    auto delay = delayFromFileName(job.core.input);
    if (!delay) {
        log.write("delay: no \"DELAY Nms\" in the input's name, no delay applied");
        return 0.0;
    }
    log.write("delay: " + formatDecimal(*delay) + " ms from the input's name");
    return *delay;
}

double resolveDialogueGain(const JobRequest& job, const std::optional<Ac3Header>& ac3,
                           RunLog& log) {
    if (!job.azid || !job.azid->dialogueNormalisation) {
        return 0.0;
    }
    if (!ac3) {
        log.write("azid: -n1 ignored, the input carries no AC3 dialogue level");
        return 0.0;
    }
    const double gain = dialogueNormalisationGainDb(ac3->dialogueLevel);
    log.write("azid: dialogue level -" + std::to_string(ac3->dialogueLevel) + " dBFS, gain " +
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
    if (!isLossy(target) && mode != GainMode::None && mode != GainMode::Loudness) {
        mode = GainMode::PeakBeforeEncoding;
    }
    return mode;
}

// What an AC3 output says of itself beyond its dialogue level: Dolby Surround encoded after a
// matrix that encodes it, and a 5.1 output the downmix levels its AC3 source asked for.
std::vector<std::string> ac3Metadata(const JobRequest& job, const std::optional<Ac3Header>& ac3,
                                     const SourceInfo& source) {
    std::vector<std::string> switches;
    const std::optional<StereoMode> mode =
        job.azid ? job.azid->stereoMode : std::optional<StereoMode>();
    if (mode == StereoMode::DolbySurround || mode == StereoMode::ProLogic2) {
        switches.insert(switches.end(), {"-dsur_mode", "on"});
    }
    if (!mode && ac3 && source.channels.size() == 6) {
        if (ac3->centreMixLevel) {
            switches.insert(switches.end(),
                            {"-center_mixlev", formatDecimal(*ac3->centreMixLevel)});
        }
        if (ac3->surroundMixLevel) {
            switches.insert(switches.end(),
                            {"-surround_mixlev", formatDecimal(*ac3->surroundMixLevel)});
        }
    }
    return switches;
}

std::vector<std::string> encoderSwitches(const JobRequest& job, Target target, int sampleRate,
                                         int channels, RunLog& log) {
    switch (target) {
    case Target::Mp3: {
        LameTranslation lame = translateLameSwitches(*job.lame, sampleRate);
        for (const std::string& note : lame.notes) {
            log.write(note);
        }
        return lame.arguments;
    }
    case Target::Ogg:
        return oggencSwitches(*job.ogg);
    case Target::Ac3: {
        const int bitrate = nearestAc3Bitrate(job.ac3enc->bitrate);
        if (bitrate != job.ac3enc->bitrate) {
            log.write("ac3enc: AC3 has no bitrate of " + std::to_string(job.ac3enc->bitrate) +
                      " kbit/s, encoded at " + std::to_string(bitrate) +
                      " kbit/s, the nearest it has");
        }
        return {"-b:a", std::to_string(bitrate) + "k"};
    }
    case Target::Opus:
        return opusSwitches(*job.opus, channels);
    case Target::Flac:
        return flacSwitches(*job.flac);
    case Target::Wav:
        break;
    }
    return {};
}

// Opus's multichannel mapping knows surrounds at the back only: side surrounds are given those
// names, in their place. Empty for channels it takes as they are.
std::string opusLayoutOf(const ChannelNames& channels) {
    if (channels == ChannelNames{"FL", "FR", "FC", "LFE", "SL", "SR"}) {
        return "5.1";
    }
    if (channels == ChannelNames{"FL", "FR", "FC", "SL", "SR"}) {
        return "5.0";
    }
    if (channels == ChannelNames{"FL", "FR", "SL", "SR"}) {
        return "quad";
    }
    return "";
}

// Closes the descriptor it holds when the job ends.
class HeldDescriptor {
public:
    explicit HeldDescriptor(int fd) : fd_(fd) {}
    ~HeldDescriptor() { ::close(fd_); }
    HeldDescriptor(const HeldDescriptor&) = delete;
    HeldDescriptor& operator=(const HeldDescriptor&) = delete;
    int get() const { return fd_; }
    // The open file as this process reaches it, whatever became of its name.
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

// The input, opened once at the start: every pass reads this file through its descriptor, so
// that a source renamed or replaced during the job (by a FIFO, which an engine would wait on
// for ever) changes nothing. It must be a regular file, which none of the names the job writes
// may lead to; it is opened without waiting, as a FIFO would make it.
int openCheckedInput(const JobRequest& job, const std::vector<std::string>& writtenNames) {
    const int fd = ::open(job.core.input.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat input {};
    if (fd < 0 || ::fstat(fd, &input) != 0 || !S_ISREG(input.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw JobFailure("the input " + job.core.input + " is not a readable file");
    }
    for (const std::string& name : writtenNames) {
        struct stat written {};
        if (::stat(name.c_str(), &written) == 0 && written.st_dev == input.st_dev &&
            written.st_ino == input.st_ino) {
            ::close(fd);
            throw JobFailure("the output " + name + " is the input itself");
        }
    }
    return fd;
}

// The source's sample rate and channels: from the AC3 frame header or the LPCM file name
// where there is one, else from ffmpeg decoding the first frame.
SourceInfo probeSource(const JobRequest& job, const std::optional<Ac3Header>& ac3,
                       const std::vector<std::string>& sourceArguments,
                       const HeldDescriptor& source, RunLog& log) {
    if (ac3) {
        SourceInfo info{ac3->sampleRate, ac3->channels};
        info.floatSamples = true; // as the AC3 decoder gives them
        return info;
    }
    if (isLpcmSource(job.core.input)) {
        const LpcmFormat format = lpcmFormatFromName(job.core.input);
        SourceInfo info{format.sampleRate, *channelsOfLayout("", format.channels)};
        info.pcmBits = format.bitsPerSample;
        return info;
    }
    const int audioStream = job.core.track.value_or(1) - 1;
    const EngineCommand probe =
        sourceProbeEngine(sourceArguments, sharedDescriptorPath(0), audioStream);
    log.write("engine: " + describeCommand(probe.arguments));
    const EngineOutcome outcome = runEnginePipeline({probe}, {}, {source.get()}).front();
    if (stopRequested()) {
        throw JobFailure(stopReason());
    }
    const std::optional<SourceInfo> info = readSourceProbe(outcome.errorOutput);
    if (outcome.succeeded() && info) {
        return *info;
    }
    if (const std::optional<std::string> reason = refusedSourceReason(outcome.errorOutput)) {
        throw JobFailure("the input " + job.core.input + " " + *reason);
    }
    log.write("engine error output (ffmpeg, exit status " + std::to_string(outcome.exitCode) +
              "):");
    log.writeIndented(outcome.errorOutput);
    if (job.core.track) {
        throw JobFailure("the input " + job.core.input + " has no audio track " +
                         std::to_string(*job.core.track) + " that can be read");
    }
    throw JobFailure("the input " + job.core.input + " holds no audio that can be read");
}

// The files the job writes, made before any work: one that cannot be made fails the job.
std::unique_ptr<OutputFiles> makeOutputs(const JobRequest& job,
                                         const std::vector<std::string>& suffixes) {
    try {
        return std::make_unique<OutputFiles>(job.core.output, suffixes);
    } catch (const std::runtime_error& error) {
        throw JobFailure(error.what());
    }
}

// Gives the checked outputs their names and returns them. Said in the log first, so that a log
// that cannot take another line fails the job while its outputs still have no names: no job is
// done with its log cut short.
std::vector<std::string> nameOutputs(OutputFiles& outputs, RunLog& log,
                                     ProgressReporter& progress) {
    log.write("outputs checked, giving them their names");
    if (!log.failure().empty()) {
        throw JobFailure(log.failure());
    }
    try {
        outputs.commit();
    } catch (const std::runtime_error& error) {
        throw JobFailure(error.what());
    }
    progress.finish();
    return outputs.finalPaths();
}

// The frames of a container's AC3 track copied into the output as they are.
std::vector<std::string> copyTrackFrames(const JobRequest& job, const HeldDescriptor& input,
                                         const std::vector<std::string>& suffixes, RunLog& log,
                                         ProgressReporter& progress) {
    const std::unique_ptr<OutputFiles> outputs = makeOutputs(job, suffixes);
    PassPlan passPlan;
    passPlan.encode.target = Target::Ac3;
    passPlan.sourceFile = input.get();
    passPlan.encode.input = sharedDescriptorPath(1); // after the one output
    passPlan.encode.audioStream = *job.core.track - 1;
    passPlan.encode.outputs.push_back(sharedDescriptorPath(0));
    log.write("output: " + outputs->finalPaths()[0] + ", written as " + passPlan.encode.outputs[0] +
              " (it gets its name only once the job has succeeded)");
    JobPasses passes(passPlan, outputs->descriptors(), log, progress);
    passes.copyTrack();
    return nameOutputs(*outputs, log, progress);
}

// Writes the loudness curves of the report beside the log and names the file in a line of
// its own; gives its path. A file that cannot be written is logged and fails nothing: the job
// is done.
std::optional<std::string> writeCurves(const JobRequest& job, const SoundReport& report,
                                       const SoundPlan& plan, RunLog& log,
                                       ProgressReporter& progress) {
    const std::string path = curvesFilePath(job.core.logFile, job.core.output);
    const std::optional<LoudnessTarget> target =
        plan.mode == GainMode::Loudness ? plan.loudness : std::nullopt;
    try {
        writeCurvesFile(path, loudnessCurvesText(report, target));
    } catch (const std::runtime_error& error) {
        log.write(std::string("loudness curves not written: ") + error.what());
        return std::nullopt;
    }
    const std::string line = "sound: curves: " + path;
    log.write(line);
    progress.printLine(line);
    return path;
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

JobResult runTranscodeJob(const JobRequest& job, RunLog& log, ProgressReporter& progress) {
    const Target target = targetOf(job);
    if (const auto missing = firstMissingEngine(target)) {
        throw JobFailure("the engine " + missing->program +
                         " is missing: install the Debian package " + missing->package);
    }
    for (const std::string& line : tidyOutputFolder(folderOf(job.core.output))) {
        log.write(line);
    }
    const bool sixMonoFiles =
        target == Target::Wav && job.core.wavChannels == WavChannels::SixMonoFiles;
    const std::vector<std::string> suffixes =
        sixMonoFiles ? monoChannelNames() : std::vector<std::string>{};
    const HeldDescriptor input(
        openCheckedInput(job, OutputFiles::finalNames(job.core.output, suffixes)));
    if (copiesTrackFrames(job)) {
        return JobResult{copyTrackFrames(job, input, suffixes, log, progress)};
    }
    const std::vector<std::string> sourceArguments =
        sourceReadArguments(job.core.input, job.azid, job.core.track.has_value());
    const std::optional<Ac3Header> ac3 =
        isAc3Source(job.core.input) ? readAc3Header(input.path()) : std::optional<Ac3Header>();
    const SourceInfo source = probeSource(job, ac3, sourceArguments, input, log);

    FilterContext context;
    context.channels = outputChannelsOf(job, target);
    context.sourceChannels = source.channels;
    if (ac3) {
        context.mixLevels.centre = ac3->centreMixLevel.value_or(context.mixLevels.centre);
        context.mixLevels.surround = ac3->surroundMixLevel.value_or(context.mixLevels.surround);
    }
    context.delayMs = resolveDelay(job, input.get(), log);
    context.dialogueGainDb = resolveDialogueGain(job, ac3, log);
    // Opus carries a few rates only: a source at another is resampled to the nearest of them.
    const bool targetResamples = target == Target::Opus && !job.ssrc &&
                                 targetSampleRate(target, source.sampleRate) != source.sampleRate;
    context.soxrAvailable = (job.ssrc || targetResamples) && soxrAvailable();
    if (job.ssrc && !context.soxrAvailable) {
        log.write("ssrc: soxr is not available, ffmpeg's own resampler is used");
    }
    if (targetResamples) {
        context.resampleRate = targetSampleRate(target, source.sampleRate);
        log.write("resample: the target cannot carry " + std::to_string(source.sampleRate) +
                  " Hz, resampled to " + std::to_string(*context.resampleRate) + " Hz");
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
    const std::size_t sourceFilterCount = sourceFilters(job, context).size();
    for (const std::string& note : notes) {
        log.write(note);
    }

    const std::unique_ptr<OutputFiles> outputs = makeOutputs(job, suffixes);
    PassPlan passPlan;
    EncodePlan& plan = passPlan.encode;
    plan.target = target;
    plan.sixMonoFiles = sixMonoFiles;
    plan.sourceArguments = sourceArguments;
    passPlan.sourceFile = input.get();
    plan.input = sharedDescriptorPath(outputs->finalPaths().size());
    plan.audioStream = job.core.track.value_or(1) - 1;
    log.write("input: " + job.core.input + ", read as " + plan.input +
              " (the file opened at the start, whatever becomes of its name)");
    plan.sourceChain = joinFilters({filters.begin(), filters.begin() + sourceFilterCount});
    plan.processingChain = sourceFilterCount < filters.size()
                               ? joinFilters({filters.begin() + sourceFilterCount, filters.end()})
                               : "";
    plan.sourceRate = source.sampleRate;
    plan.outputRate = context.resampleRate.value_or(source.sampleRate);
    plan.outputChannels = outputChannelCount(context);
    // WAV and FLAC keep the depth of a PCM source of more than 16 bits (float included) at 24
    // bits.
    plan.wavBits = !isLossy(target) && source.pcmBits > 16 ? 24 : 16;
    // Past the source's part, only the closing aformat: nothing changes the samples.
    passPlan.processingKeepsSamples = filters.size() <= sourceFilterCount + 1;
    passPlan.samplesChanged = !passPlan.processingKeepsSamples || !source.sixteenBit;
    if (target == Target::Opus && context.channels == OutputChannels::AsSource) {
        plan.encoderLayout = opusLayoutOf(source.channels);
    }
    plan.encoderSwitches = encoderSwitches(job, target, plan.outputRate, plan.outputChannels, log);
    if (target == Target::Ac3) {
        const std::vector<std::string> metadata = ac3Metadata(job, ac3, source);
        plan.encoderSwitches.insert(plan.encoderSwitches.end(), metadata.begin(), metadata.end());
    }
    for (std::size_t i = 0; i < outputs->finalPaths().size(); ++i) {
        plan.outputs.push_back(sharedDescriptorPath(i));
        log.write("output: " + outputs->finalPaths()[i] + ", written as " + plan.outputs.back() +
                  " (it gets its name only once the job has succeeded)");
    }

    JobPasses passes(passPlan, outputs->descriptors(), log, progress);
    SoundPlan soundPlan;
    soundPlan.mode = effectiveGainMode(job, target);
    soundPlan.loudness = job.ota ? job.ota->loudness : std::nullopt;
    // Vorbis, AC3 and Opus keep a pure tone's loudness within 0.2 LU at every quality and
    // bitrate.
    soundPlan.encoderKeepsLoudness =
        target != Target::Mp3 || lameKeepsLoudness(plan.encoderSwitches);
    soundPlan.sourceCarriesOvers = source.floatSamples;
    soundPlan.processingChangesLevels =
        (job.azid && job.azid->gainFactor) || job.boost ||
        std::any_of(notes.begin(), notes.end(),
                    [](const std::string& note) { return note.starts_with("mix: "); });
    if (ac3) {
        // -n1 has already brought the dialogue to -31 dBFS.
        soundPlan.sourceDialogueLevel = context.dialogueGainDb != 0.0 ? 31 : ac3->dialogueLevel;
    }
    const SoundReport report = runSoundPasses(passes, soundPlan, log);
    for (const std::string& line :
         {soundReportLine("source", report.source),
          soundReportLine("output", report.output) + outputLineEnd(report)}) {
        log.write(line);
        progress.printLine(line);
    }
    const std::optional<std::string> curves = writeCurves(job, report, soundPlan, log, progress);
    try {
        return JobResult{nameOutputs(*outputs, log, progress), report.output.clippedSamples};
    } catch (...) {
        // The curves of outputs that never got their names describe no file.
        if (curves) {
            removeCurvesFile(*curves);
        }
        throw;
    }
}

} // namespace cantova
