#pragma once

#include "command/job_request.h"
#include "command/target_plan.h"
#include "engines/engine_pipeline.h"
#include "sound/pass_runner.h"
#include "sound/sound_meter.h"

#include <string>
#include <vector>

namespace cantova {

// Names of the six mono files, in the order of the 5.1 layout the channels are split from.
const std::vector<std::string>& monoChannelNames();

struct EncodePlan {
    Target target = Target::Wav;
    bool sixMonoFiles = false;
    std::vector<std::string> sourceArguments; // options before "-i"
    std::string input;                        // an absolute path
    int audioStream = 0;                      // among the input's audio streams, from 0
    // The filters of one pass: the part of the source used (split, delay), the processing that
    // follows (with the pass's gain), and what comes after the output is measured (the AC3
    // encoder's delay taken off, dither to 16 bit, the six mono files).
    std::string sourceChain;
    std::string processingChain;
    std::string tailChain;
    int sourceRate = 48000; // of the source chain's output
    int outputRate = 48000; // of the processing chain's output
    int outputChannels = 2; // of the processing chain's output
    bool meterSource = false;
    bool meterOutput = false;
    EncoderFeed feed = EncoderFeed::SixteenBit;
    // The layout the channels are renamed to, in their order, for the encoder; empty: none.
    std::string encoderLayout;
    int wavBits = 16;                         // of WAV and FLAC outputs: 16 or 24
    std::vector<std::string> encoderSwitches; // lame, oggenc, AC3, Opus or FLAC encoder switches
    std::vector<std::string> outputs;         // as the engines reach them, one per written file
    // A lossy output is decoded while it is written, by one more engine that reads it as it
    // grows (PipelineListener::GrowingFile) and hands the decoded samples to tap kDecodedTap.
    bool decodeWhileWriting = false;
};

// The samples a pass hands to the transcoder's meters, each a WAV stream of 32-bit float on a
// tap of its own (tapDescriptor): the encoder's input (before the AC3
// delay cut, the dither and the channel split) on the first; on the second, in the encoding
// pass that measures the source, the source after the split and the delay.
inline constexpr std::size_t kOutputTap = 0;
inline constexpr std::size_t kSourceTap = 1;
// The output decoded while it is written, by the last engine of the pass.
inline constexpr std::size_t kDecodedTap = 2;

// How ffmpeg is told to read or write a local file: its protocol prefix keeps a name such as
// "pipe:0 take.wav" or "concat:a|b" from being read as anything else.
std::string ffmpegFile(const std::string& path);

// The engines of one encoding pass: ffmpeg alone, or ffmpeg feeding lame or oggenc; where the
// output is decoded while it is written, followed by the ffmpeg that decodes it.
std::vector<EngineCommand> encodingEngines(const EncodePlan& plan);

// An ffmpeg pass that runs the source and processing chains of the plan over the input and
// hands the result to tap kOutputTap.
EngineCommand measuringEngine(const EncodePlan& plan);

// An ffmpeg pass that decodes the written files as a player would (the six of -6ch merged, so
// that they last as long as the shortest) and hands the result to tap kOutputTap.
EngineCommand writtenFilesEngine(const std::vector<std::string>& outputs);

// An ffmpeg pass that decodes the first frame of the input's audio stream (from 0) and reports
// its sample rate, channels and layout as the processing will receive them (ashowinfo).
EngineCommand sourceProbeEngine(const std::vector<std::string>& sourceArguments,
                                const std::string& input, int audioStream = 0);

// An ffmpeg pass that copies the frames of the plan's audio stream into its AC3 output as they
// are.
EngineCommand trackCopyEngine(const EncodePlan& plan);

// An ffprobe run that lists the input's streams with their index, kind, start time and whether
// they are an attached picture, one "index,kind,seconds,0|1" line each, on its standard error
// (a stream of a program may be listed twice).
EngineCommand streamStartsEngine(const std::string& input);

// ffmpeg's Opus encoder switches for the Opus group and the channels it is given.
std::vector<std::string> opusSwitches(const OpusOptions& opus, int channels);

// ffmpeg's FLAC encoder switches for the FLAC group.
std::vector<std::string> flacSwitches(const FlacOptions& flac);

// The oggenc switches for the Vorbis group.
std::vector<std::string> oggencSwitches(const OggOptions& ogg);

} // namespace cantova
