#pragma once

#include "sound/pcm_meter.h"

#include <cmath>
#include <string>
#include <vector>

namespace cantova {

// The levels of a stretch of audio as the report gives them. Peaks and loudness are -inf for
// digital silence.
struct SoundFigures {
    double samplePeakDb = -INFINITY; // dBFS
    double truePeakDb = -INFINITY;   // dBTP, 4x oversampled
    double loudnessLufs = -INFINITY; // integrated, gated (ITU-R BS.1770)
    double rangeLu = 0.0;            // loudness range
    long long clippedSamples = 0;    // samples at or beyond full scale (as 16 bit holds it)
    // The short-term (3 s) loudness at the end of every kCurveIntervalSeconds of the audio, in
    // LUFS: the loudness curve.
    std::vector<double> shortTermLufs;
};

// How far apart the points of a loudness curve lie, in seconds.
inline constexpr double kCurveIntervalSeconds = 0.5;

// A stretch of the audio, in seconds from its start.
struct TimeStretch {
    double from = 0.0;
    double to = 0.0;
    bool operator==(const TimeStretch&) const = default;
};

// The level (linear) at and above which the audio after a limiter of this true-peak ceiling
// (dBTP) is taken to be held down by it. ffmpeg's limiter does not tell the gain it applies,
// so where it acted is read from the level it leaves: a true peak within half a dB of its
// ceiling.
float limiterHoldLevel(double ceilingDb);

// The stretches of the meter's audio whose true peak reached its watched level, in whole
// 100 ms steps, those next to each other joined.
std::vector<TimeStretch> stretchesAtWatchedLevel(const PcmMeter& meter);

// What a measurement is for, which decides what its log line gives:
// - Peak: the sample peak, and the samples at full scale;
// - FastPeak: the sample peak of decoded audio;
// - Levels: sample peak, true peak, integrated loudness and loudness range;
// - Loudness: as Levels without the true peak.
enum class MeterKind { Peak, FastPeak, Levels, Loudness };

// How far inside the edges of their window the gain modes hold a decoded peak: the margin of a
// reading to a tenth of a dB.
inline constexpr double kPeakReadingErrorDb = 0.05;

// The report's figures of what the meter measured: a loudness gated out entirely is given as
// -70 LUFS where there is sound at all.
SoundFigures figuresOf(const PcmMeter& meter);

// What a meter of the kind measured: "<what>: sample peak X dBFS[, true peak Y dBTP][,
// loudness Z LUFS, range R LU]".
std::string measuredText(const std::string& what, const SoundFigures& figures, MeterKind kind);

// "sound: <what>: sample peak X dBFS, true peak Y dBTP, loudness Z LUFS, range R LU, clipped N"
std::string soundReportLine(const std::string& what, const SoundFigures& figures);

// A level with one decimal, "-inf" for silence.
std::string levelText(double level);

} // namespace cantova
