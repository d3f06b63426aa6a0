#include "engines/engine_commands.h"

#include "command/decimal_text.h"

#include <cmath>

namespace cantova {

namespace {

// ffmpeg reads every input through the file protocol only. Its filter graph runs on one thread:
// its slice threads cost more in handing frames over than they save, and the other core belongs
// to the encoder beside ffmpeg and the transcoder's meters.
std::vector<std::string> ffmpegHead() {
    std::vector<std::string> words = {"ffmpeg", "-hide_banner", "-nostdin", "-nostats",
                                      "-y",     "-progress",    "pipe:3",   "-protocol_whitelist",
                                      "file"};
    words.insert(words.end(), {"-filter_complex_threads", "1"});
    return words;
}

std::vector<std::string> ffmpegHead(const std::vector<std::string>& sourceArguments,
                                    const std::string& input) {
    std::vector<std::string> words = ffmpegHead();
    words.insert(words.end(), sourceArguments.begin(), sourceArguments.end());
    words.insert(words.end(), {"-i", ffmpegFile(input), "-vn", "-sn", "-dn"});
    return words;
}

void append(std::vector<std::string>& words, std::initializer_list<std::string> more) {
    words.insert(words.end(), more);
}

} // namespace

const std::vector<std::string>& monoChannelNames() {
    static const std::vector<std::string> names = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    return names;
}

std::string ffmpegFile(const std::string& path) {
    return "file:" + path;
}

namespace {

// The input's audio stream the plan reads, as a filter graph's input label.
std::string audioLabel(const EncodePlan& plan) {
    return "[0:a:" + std::to_string(plan.audioStream) + "]";
}

std::string chained(std::initializer_list<std::string> chains) {
    std::string joined;
    for (const std::string& chain : chains) {
        if (!chain.empty()) {
            joined += (joined.empty() ? "" : ",") + chain;
        }
    }
    return joined.empty() ? "anull" : joined;
}

// The words that write the samples at the graph's label to the pass's tap.
std::vector<std::string> tapOutput(const std::string& label, std::size_t tap) {
    return {"-map",
            "[" + label + "]",
            "-c:a",
            "pcm_f32le",
            "-f",
            "wav",
            "pipe:" + std::to_string(tapDescriptor(tap))};
}

constexpr const char* kSourceLabel = "src";
constexpr const char* kOutputLabel = "out";

// The words that hand what the graph's inputs decode to (joined by `graph`, which ends where a
// filter may follow) to the tap, as 32-bit float.
void appendDecodedTap(std::vector<std::string>& ffmpeg, const std::string& graph, std::size_t tap) {
    ffmpeg.insert(ffmpeg.end(), {"-filter_complex", graph + "aformat=sample_fmts=flt[" +
                                                        std::string(kOutputLabel) + "]"});
    const std::vector<std::string> words = tapOutput(kOutputLabel, tap);
    ffmpeg.insert(ffmpeg.end(), words.begin(), words.end());
}

// The graph of an encoding pass up to its output label "[enc]", with the samples to be
// measured split off to the labels of the taps.
std::string encodingGraph(const EncodePlan& plan) {
    std::string graph = audioLabel(plan) + chained({plan.sourceChain});
    if (plan.meterSource) {
        graph += ",asplit=2[" + std::string(kSourceLabel) + "][p];[p]anull";
    }
    graph += "," + chained({plan.processingChain});
    if (plan.meterOutput) {
        graph += ",asplit=2[" + std::string(kOutputLabel) + "][e];[e]anull";
    }
    return graph + "," + chained({plan.tailChain});
}

// The taps of an encoding pass, after its outputs.
void appendTaps(std::vector<std::string>& ffmpeg, const EncodePlan& plan) {
    if (plan.meterOutput) {
        const std::vector<std::string> tap = tapOutput(kOutputLabel, kOutputTap);
        ffmpeg.insert(ffmpeg.end(), tap.begin(), tap.end());
    }
    if (plan.meterSource) {
        const std::vector<std::string> tap = tapOutput(kSourceLabel, kSourceTap);
        ffmpeg.insert(ffmpeg.end(), tap.begin(), tap.end());
    }
}

// The engine that decodes the output from its standard input as it is written, as a player
// would, and hands the samples to the decoded tap. An MP3 reaches it before lame writes its
// first frame for the last time, with the length and the encoder's delay: the decoded
// samples then hold the delay and the padding at the end besides the output's own.
EngineCommand growingOutputDecoder(Target target) {
    const char* format = target == Target::Mp3   ? "mp3"
                         : target == Target::Ac3 ? "ac3"
                                                 : "ogg"; // Vorbis and Opus
    std::vector<std::string> ffmpeg = {
        "ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-y",     "-protocol_whitelist",
        "pipe",   "-f",           format,     "-i",       "pipe:0", "-vn",
        "-sn",    "-dn"};
    appendDecodedTap(ffmpeg, "[0:a:0]", kDecodedTap);
    return EngineCommand{ffmpeg};
}

// ffmpeg alone, or ffmpeg feeding lame or oggenc.
std::vector<EngineCommand> encodersOf(const EncodePlan& plan) {
    std::vector<std::string> ffmpeg = ffmpegHead(plan.sourceArguments, plan.input);
    std::string graph = encodingGraph(plan);
    if (plan.sixMonoFiles) {
        graph += ",channelsplit=channel_layout=5.1(side)";
        for (const std::string& name : monoChannelNames()) {
            graph += "[" + name + "]";
        }
        append(ffmpeg, {"-filter_complex", graph});
        for (std::size_t i = 0; i < monoChannelNames().size(); ++i) {
            append(ffmpeg, {"-map", "[" + monoChannelNames()[i] + "]", "-c:a",
                            plan.wavBits == 24 ? "pcm_s24le" : "pcm_s16le", "-f", "wav",
                            ffmpegFile(plan.outputs.at(i))});
        }
        appendTaps(ffmpeg, plan);
        return {EngineCommand{ffmpeg}};
    }
    append(ffmpeg, {"-filter_complex", graph + "[enc]", "-map", "[enc]"});
    const char* feedCodec = plan.feed == EncoderFeed::Float ? "pcm_f32le" : "pcm_s16le";
    const char* wavCodec = plan.wavBits == 24 ? "pcm_s24le" : "pcm_s16le";
    switch (plan.target) {
    case Target::Wav:
        append(ffmpeg, {"-c:a", wavCodec, "-f", "wav", ffmpegFile(plan.outputs.at(0))});
        appendTaps(ffmpeg, plan);
        return {EngineCommand{ffmpeg}};
    case Target::Ac3:
        ffmpeg.insert(ffmpeg.end(), plan.encoderSwitches.begin(), plan.encoderSwitches.end());
        append(ffmpeg, {"-c:a", "ac3", "-f", "ac3", ffmpegFile(plan.outputs.at(0))});
        appendTaps(ffmpeg, plan);
        return {EngineCommand{ffmpeg}};
    case Target::Opus:
        ffmpeg.insert(ffmpeg.end(), plan.encoderSwitches.begin(), plan.encoderSwitches.end());
        append(ffmpeg, {"-c:a", "libopus", "-f", "opus", ffmpegFile(plan.outputs.at(0))});
        appendTaps(ffmpeg, plan);
        return {EngineCommand{ffmpeg}};
    case Target::Flac:
        // A 24-bit FLAC is encoded from 32-bit samples, whose lowest byte the float samples
        // of the graph leave at zero.
        ffmpeg.insert(ffmpeg.end(), plan.encoderSwitches.begin(), plan.encoderSwitches.end());
        append(ffmpeg, {"-c:a", "flac", "-sample_fmt", plan.wavBits == 24 ? "s32" : "s16", "-f",
                        "flac", ffmpegFile(plan.outputs.at(0))});
        appendTaps(ffmpeg, plan);
        return {EngineCommand{ffmpeg}};
    case Target::Mp3: {
        append(ffmpeg, {"-c:a", feedCodec, "-f", "wav", "pipe:1"});
        appendTaps(ffmpeg, plan);
        std::vector<std::string> lame = {"lame", "--quiet"};
        lame.insert(lame.end(), plan.encoderSwitches.begin(), plan.encoderSwitches.end());
        append(lame, {"-", plan.outputs.at(0)});
        return {EngineCommand{ffmpeg}, EngineCommand{lame}};
    }
    case Target::Ogg: {
        append(ffmpeg, {"-c:a", feedCodec, "-f", "wav", "pipe:1"});
        appendTaps(ffmpeg, plan);
        std::vector<std::string> oggenc = {"oggenc", "--quiet", "--ignorelength"};
        oggenc.insert(oggenc.end(), plan.encoderSwitches.begin(), plan.encoderSwitches.end());
        append(oggenc, {"-o", plan.outputs.at(0), "-"});
        return {EngineCommand{ffmpeg}, EngineCommand{oggenc}};
    }
    }
    return {};
}

} // namespace

std::vector<EngineCommand> encodingEngines(const EncodePlan& plan) {
    std::vector<EngineCommand> engines = encodersOf(plan);
    if (plan.decodeWhileWriting) {
        engines.push_back(growingOutputDecoder(plan.target));
    }
    return engines;
}

EngineCommand measuringEngine(const EncodePlan& plan) {
    std::vector<std::string> ffmpeg = ffmpegHead(plan.sourceArguments, plan.input);
    const std::string graph = audioLabel(plan) + chained({plan.sourceChain, plan.processingChain}) +
                              "[" + kOutputLabel + "]";
    append(ffmpeg, {"-filter_complex", graph});
    const std::vector<std::string> tap = tapOutput(kOutputLabel, kOutputTap);
    ffmpeg.insert(ffmpeg.end(), tap.begin(), tap.end());
    return EngineCommand{ffmpeg};
}

EngineCommand writtenFilesEngine(const std::vector<std::string>& outputs) {
    std::vector<std::string> ffmpeg = ffmpegHead();
    std::string graph;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        append(ffmpeg, {"-i", ffmpegFile(outputs[i])});
        graph += "[" + std::to_string(i) + ":a:0]";
    }
    // Merged, the files last as long as the shortest of them.
    graph += outputs.size() > 1 ? "amerge=inputs=" + std::to_string(outputs.size()) + "," : "";
    appendDecodedTap(ffmpeg, graph, kOutputTap);
    return EngineCommand{ffmpeg};
}

EngineCommand sourceProbeEngine(const std::vector<std::string>& sourceArguments,
                                const std::string& input, int audioStream) {
    std::vector<std::string> ffmpeg = ffmpegHead(sourceArguments, input);
    append(ffmpeg, {"-map", "0:a:" + std::to_string(audioStream), "-af", "ashowinfo", "-frames:a",
                    "1", "-f", "null", "-"});
    return EngineCommand{ffmpeg};
}

EngineCommand trackCopyEngine(const EncodePlan& plan) {
    std::vector<std::string> ffmpeg = ffmpegHead();
    append(ffmpeg, {"-i", ffmpegFile(plan.input), "-map", "0:a:" + std::to_string(plan.audioStream),
                    "-c:a", "copy", "-f", "ac3", ffmpegFile(plan.outputs.at(0))});
    return EngineCommand{ffmpeg};
}

EngineCommand streamStartsEngine(const std::string& input) {
    // Written to the standard error, which is what the engines' runner keeps.
    return EngineCommand{{"ffprobe", "-v", "error", "-protocol_whitelist", "file", "-show_entries",
                          "stream=index,codec_type,start_time:stream_disposition=attached_pic",
                          "-of", "csv=p=0", "-o", "/dev/stderr", ffmpegFile(input)}};
}

std::vector<std::string> opusSwitches(const OpusOptions& opus, int channels) {
    std::vector<std::string> words = {"-b:a", std::to_string(opus.bitrate) + "k", "-vbr"};
    switch (opus.rateMode) {
    case OpusRateMode::Variable:
        words.push_back("on");
        break;
    case OpusRateMode::Constrained:
        words.push_back("constrained");
        break;
    case OpusRateMode::Constant:
        words.push_back("off");
        break;
    }
    if (channels > 2) {
        // The Vorbis channel order and mapping, which players know for 3 to 8 channels.
        append(words, {"-mapping_family", "1"});
    }
    return words;
}

std::vector<std::string> flacSwitches(const FlacOptions& flac) {
    return {"-compression_level", std::to_string(flac.compressionLevel)};
}

std::vector<std::string> oggencSwitches(const OggOptions& ogg) {
    std::vector<std::string> words;
    if (ogg.quality) {
        // The front end writes quality on a 0 to 1 scale, oggenc takes 0 to 10.
        append(words, {"-q", formatDecimal(std::round(*ogg.quality * 10000.0) / 1000.0)});
        return words;
    }
    if (ogg.nominalBitrate) {
        append(words, {"-b", std::to_string(*ogg.nominalBitrate)});
    }
    if (ogg.minBitrate) {
        append(words, {"-m", std::to_string(*ogg.minBitrate)});
    }
    if (ogg.maxBitrate) {
        append(words, {"-M", std::to_string(*ogg.maxBitrate)});
    }
    words.push_back("--managed");
    return words;
}

} // namespace cantova
