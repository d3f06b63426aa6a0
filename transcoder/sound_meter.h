#pragma once

#include <cmath>
#include <optional>
#include <string>

namespace cantova {

// The levels of a stretch of audio as the report gives them. Peaks and loudness are -inf for
// digital silence.
struct SoundFigures {
    double samplePeakDb = -INFINITY; // dBFS
    double truePeakDb = -INFINITY;   // dBTP, 4x oversampled
    double loudnessLufs = -INFINITY; // integrated, gated (ITU-R BS.1770)
    double rangeLu = 0.0;            // loudness range
    long long clippedSamples = 0;    // samples at full scale once made 16-bit
};

// What a meter measures: the sample peak alone (with the samples at full scale), everything of
// SoundFigures, or everything but the count of samples at full scale: that count costs as much as
// the loudness, and only a peak at full scale makes it more than 0 (the peak then comes from the
// loudness meter, to a tenth of a dB).
enum class MeterKind { Peak, Full, Levels };

// A Levels meter's sample peak at or above this may be full scale: only the Peak meter tells.
inline constexpr double kLevelsMayBeFullScaleDb = -0.05;

// The filters that measure the audio arriving at the label "[tag]" and end in sinks, for a
// filter graph; tag names the meter in ffmpeg's messages. sampleRate is the rate the audio
// arrives at (the true peak is taken at four times it).
std::string meterGraph(const std::string& tag, MeterKind kind, int sampleRate);

// What the meter named tag reported in ffmpeg's error output; nothing when it said nothing.
std::optional<SoundFigures> readMeter(const std::string& errorOutput, const std::string& tag,
                                      MeterKind kind);

// "sound: <what>: sample peak X dBFS, true peak Y dBTP, loudness Z LUFS, range R LU, clipped N"
std::string soundReportLine(const std::string& what, const SoundFigures& figures);

// A level with one decimal, "-inf" for silence.
std::string levelText(double level);

} // namespace cantova
