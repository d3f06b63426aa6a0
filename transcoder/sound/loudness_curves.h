#pragma once

#include "command/job_request.h"
#include "sound/sound_passes.h"

#include <optional>
#include <string>

namespace cantova {

// The text of the file of loudness curves the job writes beside its log, for the front end's
// loudness picture:
//
//   cantova-loudness 1
//   target T          the loudness mode's target in LUFS and
//   ceiling C         its true-peak ceiling in dBTP (only in the loudness mode)
//   integrated S O    the integrated loudness of the source and of the output, LUFS
//   interval 0.5      seconds from one point to the next
//   limiter A B       a stretch (from A to B, in seconds) where the limiter held the output
//                     down; one line per stretch
//   S O               one line per point: the short-term loudness of source and output in
//                     LUFS, "-inf" for silence
//
// The output is what its report line measured: the decoded file where the loudness was
// measured there, else the encoder's input. The points run as long as both curves have one.
std::string loudnessCurvesText(const SoundReport& report,
                               const std::optional<LoudnessTarget>& target);

} // namespace cantova
