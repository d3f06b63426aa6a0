#pragma once

// The short-term loudness of a job's source and output over time, as the transcoder writes it to
// a small text file beside its log and names on its line "sound: curves: PATH". The file:
//
//   cantova-loudness 1
//   target -16                 the loudness target in LUFS (only with the loudness gain mode)
//   ceiling -1                 the true-peak ceiling in dBTP (only with the loudness gain mode)
//   integrated -23.4 -16.0     the integrated loudness of source and output in LUFS
//   interval 0.5               seconds from one point to the next
//   limiter 12.5 14.0          a stretch (from, to, in seconds) where the limiter reduced the gain;
//                              any number of these lines
//   -35.2 -28.1                then one line per point: the short-term (3 s) loudness of source
//   ...                        and output in LUFS, "-inf" for silence
//
// Words are separated by one blank; numbers are written with a point; unknown lines before the
// points are passed over, so that later versions may add some.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cantova::jobs {

struct LoudnessCurves {
    std::optional<double> target;
    std::optional<double> ceiling;
    double sourceIntegrated = 0;
    double outputIntegrated = 0;
    double interval = 0;
    std::vector<std::pair<double, double>> limiter;
    std::vector<double> source;
    std::vector<double> output;
};

// The curves of the file's text; nothing when it is no such file or a line of it cannot be read.
std::optional<LoudnessCurves> ParseLoudnessCurves(std::string_view text);

// The path of the line "sound: curves: PATH"; nothing for any other line.
std::optional<std::string> ParseCurvesLine(std::string_view line);

} // namespace cantova::jobs
