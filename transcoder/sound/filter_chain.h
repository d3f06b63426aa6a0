#pragma once

#include "command/job_request.h"
#include "command/target_plan.h"
#include "sound/channel_mix.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// What the processing filters need beyond the command line itself.
struct FilterContext {
    OutputChannels channels = OutputChannels::AsSource;
    ChannelNames sourceChannels; // as the decoder delivers them
    StereoMixLevels mixLevels;   // of the plain stereo downmix
    double delayMs = 0.0;        // after "-d auto" has been resolved
    double dialogueGainDb = 0.0; // from the source's dialogue level when -n1 is given
    bool soxrAvailable = false;
    // The rate to resample to: the job's --rate as far as the target can carry it; empty
    // when the job does not resample.
    std::optional<int> resampleRate;
};

// The first of the processing filters: they cut out the part of the source the job uses (split
// and delay) and leave its samples as they are.
std::vector<std::string> sourceFilters(const JobRequest& job, const FilterContext& context);

// The ffmpeg audio filters of the job, in processing order: split, delay, dialogue level,
// channel layout, manual gain, boost, resampling. All of them work on 32-bit float samples,
// whatever follows them, so that a measuring pass sees exactly the samples the encoding pass
// encodes and no intermediate step clips. Notes for the log are appended to notes.
std::vector<std::string> processingFilters(const JobRequest& job, const FilterContext& context,
                                           std::vector<std::string>& notes);

// How many channels the processing delivers.
int outputChannelCount(const FilterContext& context);

// The filter that applies a gain in dB.
std::string gainFilter(double gainDb);

// A look-ahead limiter (ffmpeg's alimiter): the limit as a factor of full scale, its attack
// and release, and how many times the sample rate it works at (4 to see the peaks between the
// samples).
struct LimiterSettings {
    double limit = 1.0;
    double attackMs = 5;
    double releaseMs = 50;
    int oversampling = 1;
};

// The limiter over the channels with one gain for all of them (linked): it never raises a
// channel, and a quiet channel beside a loud one keeps its level but for the loud one's
// limiting. Its look-ahead delay is taken off: the audio keeps its timing to the sample. label
// names the branches of its graph (unique in a graph).
std::string linkedLimiter(const LimiterSettings& settings, int channels, int sampleRate,
                          const std::string& label);

// A look-ahead limiter that holds the true peak at the ceiling (dBTP): it works at four times
// the sample rate, so that it sees the peaks between the samples, and acts on those peaks only.
std::string truePeakLimiter(double ceilingDb, int sampleRate, int channels);

// Takes off the 256 samples by which ffmpeg's AC3 encoder delays what it encodes, so that the
// decoded output lines up with the source.
inline constexpr long long kAc3EncoderDelaySamples = 256;
inline constexpr const char* kAc3EncoderDelayCut = "atrim=start_sample=256,asetpts=PTS-STARTPTS";

// Reduces changed samples to 16 bit with triangular (TPDF) dither instead of rounding them.
inline constexpr const char* kSixteenBitDither = "aresample=osf=s16:dither_method=triangular";

// Filters joined into one ffmpeg filter chain; "anull" when there are none.
std::string joinFilters(const std::vector<std::string>& filters);

} // namespace cantova
