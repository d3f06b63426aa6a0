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

// What a meter measures:
// - Peak: the sample peak, with the samples at full scale;
// - Full: everything of SoundFigures;
// - Levels: everything but the count of samples at full scale, which costs as much as the
//   loudness and is 0 unless the peak reaches full scale; the sample peak then comes from the
//   loudness meter, to a tenth of a dB;
// - Loudness: as Levels without the true peak (given as the sample peak, which it never lies
//   below).
enum class MeterKind { Peak, Full, Levels, Loudness };

// A sample peak a meter that does not count gives at or above this may be full scale: only a
// meter that counts tells.
inline constexpr double kLevelsMayBeFullScaleDb = -0.05;

// Whether the meter counts the samples at full scale.
inline bool countsFullScale(MeterKind kind) {
    return kind == MeterKind::Peak || kind == MeterKind::Full;
}

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
