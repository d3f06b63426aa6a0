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

// What a meter measures. Counting the samples at full scale (astats) costs more than the
// loudness and gives more than 0 only where the peak reaches full scale, so only the Peak meter
// counts; the others read the sample peak to a tenth of a dB, and where that reading is
// kMayBeFullScaleDb or more the audio is measured again with the Peak meter.
// - Peak: the exact sample peak, and the samples at full scale;
// - FastPeak: the sample peak, read from a 16-bit copy (so at most full scale);
// - Levels: sample peak, true peak, integrated loudness and loudness range;
// - Loudness: as Levels without the true peak (given as the sample peak, which it never lies
//   below).
enum class MeterKind { Peak, FastPeak, Levels, Loudness };

// A reading to a tenth of a dB lies at most this far from the exact sample peak.
inline constexpr double kPeakReadingErrorDb = 0.05;
// A reading at or above this may be full scale.
inline constexpr double kMayBeFullScaleDb = -kPeakReadingErrorDb;

// The filters that measure the audio arriving at the label "[tag]" and end in sinks, for a
// filter graph; tag names the meter in ffmpeg's messages. sampleRate is the rate the audio
// arrives at (the true peak is taken at four times it).
std::string meterGraph(const std::string& tag, MeterKind kind, int sampleRate);

// What the meter named tag reported in ffmpeg's error output; nothing when it said nothing.
std::optional<SoundFigures> readMeter(const std::string& errorOutput, const std::string& tag,
                                      MeterKind kind);

// What a meter of the kind measured: "<what>: sample peak X dBFS[, true peak Y dBTP][,
// loudness Z LUFS, range R LU]".
std::string measuredText(const std::string& what, const SoundFigures& figures, MeterKind kind);

// "sound: <what>: sample peak X dBFS, true peak Y dBTP, loudness Z LUFS, range R LU, clipped N"
std::string soundReportLine(const std::string& what, const SoundFigures& figures);

// A level with one decimal, "-inf" for silence.
std::string levelText(double level);

} // namespace cantova
