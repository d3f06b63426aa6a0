#pragma once

#include <optional>
#include <string>
#include <vector>

// The job described by one command line: what the front end asked for, already checked
// for form, before anything touches a file.
namespace cantova {

enum class WavChannels { Unspecified, Stereo, SixChannelFile, SixMonoFiles };

// More audio tracks than any container carries.
inline constexpr int kMostTracks = 999;

struct CoreOptions {
    std::string input;
    // The audio track read from a container input, from 1 (-track N); none: the first.
    std::optional<int> track;
    std::string output;
    std::string logFile;
    WavChannels wavChannels = WavChannels::Unspecified;
};

enum class GainMode { None, PeakBeforeEncoding, PeakAfterEncoding, Hybrid, Loudness };

// The loudness mode's aim: integrated loudness and the true peak it may not exceed.
struct LoudnessTarget {
    double lufs = -23.0;             // -40 to -5
    double truePeakCeilingDb = -1.0; // -9 to 0
};

struct OtaOptions {
    bool autoDelay = false;
    double delayMs = 0.0;
    GainMode gain = GainMode::None;
    std::optional<LoudnessTarget> loudness; // with GainMode::Loudness
};

enum class StereoMode { Plain, DolbySurround, ProLogic2 };
enum class Compression { Light, Normal, Heavy };

struct AzidOptions {
    bool dialogueNormalisation = false;
    std::optional<StereoMode> stereoMode;
    std::optional<Compression> compression;
    std::optional<double> gainFactor;   // linear factor from "-g 3db" or "-g 150%"
    std::optional<double> lfeMixFactor; // linear factor from "-L -3db"
    bool maximize = false;
};

enum class BoostAlgorithm { Rook, Kestrel, Wren };

struct BoostOptions {
    BoostAlgorithm algorithm = BoostAlgorithm::Rook;
    double factor = 1.0;
    double limit = 1.0; // ceiling of the limiter (Rook and Wren)
};

// One LAME switch as received, in its canonical spelling, with its values.
struct LameSwitch {
    std::string name;
    std::vector<std::string> values;
    bool operator==(const LameSwitch&) const = default;
};

struct LameOptions {
    std::vector<LameSwitch> switches;
};

struct OggOptions {
    std::optional<int> nominalBitrate;
    std::optional<int> minBitrate;
    std::optional<int> maxBitrate;
    std::optional<double> quality; // 0 to 1 as the front end writes it
    bool sixChannels = false;
};

// How the Opus encoder spends its bits: a variable rate by default.
enum class OpusRateMode { Variable, Constrained, Constant };

// Opus bit rates in kbit/s: the lowest that still suits multichannel music, and the highest
// libopus takes for 7.1.
inline constexpr int kLowestOpusBitrate = 64;
inline constexpr int kHighestOpusBitrate = 512;

struct OpusOptions {
    int bitrate = 0; // kbit/s, over all channels
    OpusRateMode rateMode = OpusRateMode::Variable;
    bool stereo = false; // downmixed to stereo; else the source's channels are kept
};

// FLAC compression levels: faster and larger at 0, slower and smaller at 12.
inline constexpr int kHighestFlacLevel = 12;
inline constexpr int kDefaultFlacLevel = 5;

struct FlacOptions {
    int compressionLevel = kDefaultFlacLevel;
};

struct Ac3EncOptions {
    int bitrate = 0;
};

struct SsrcOptions {
    int rate = 0;
};

struct SplitOptions {
    std::optional<double> startSeconds;
    std::optional<double> endSeconds;
};

struct JobRequest {
    CoreOptions core;
    std::optional<OtaOptions> ota;
    std::optional<AzidOptions> azid;
    std::optional<BoostOptions> boost;
    std::optional<LameOptions> lame;
    std::optional<OggOptions> ogg;
    std::optional<Ac3EncOptions> ac3enc;
    std::optional<OpusOptions> opus;
    std::optional<FlacOptions> flac;
    std::optional<SsrcOptions> ssrc;
    std::optional<SplitOptions> split;
};

} // namespace cantova
