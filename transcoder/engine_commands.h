#pragma once

#include "engine_pipeline.h"
#include "job_request.h"
#include "target_plan.h"

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
    std::string filterChain;
    std::vector<std::string> encoderSwitches; // lame or oggenc switches, already translated
    std::vector<std::string> outputs;         // as the engines reach them, one per written file
};

// How ffmpeg is told to read or write a local file: its protocol prefix keeps a name such as
// "pipe:0 take.wav" or "concat:a|b" from being read as anything else.
std::string ffmpegFile(const std::string& path);

// The engines of one encoding pass: ffmpeg alone, or ffmpeg feeding lame or oggenc.
std::vector<EngineCommand> encodingEngines(const EncodePlan& plan);

// The filter that passes the audio on and reports its overall peak level, "Peak level dB: P",
// on ffmpeg's error output at the end.
inline constexpr const char* kPeakMeasuringFilter =
    "astats=measure_perchannel=none:measure_overall=Peak_level";

// An ffmpeg pass that runs the filter chain over the input and reports its peak level.
EngineCommand peakMeasuringEngine(const std::vector<std::string>& sourceArguments,
                                  const std::string& input, const std::string& filterChain);

// An ffmpeg pass that decodes the written files as a player would and reports the peak level
// and, through its progress, the length they play (of the shortest).
EngineCommand writtenFilesEngine(const std::vector<std::string>& outputs);

// An ffmpeg pass that decodes the first frame of the input's first audio stream and reports its
// sample rate, channels and layout as the processing will receive them (ashowinfo).
EngineCommand sourceProbeEngine(const std::vector<std::string>& sourceArguments,
                                const std::string& input);

// The oggenc switches for the Vorbis group.
std::vector<std::string> oggencSwitches(const OggOptions& ogg);

} // namespace cantova
