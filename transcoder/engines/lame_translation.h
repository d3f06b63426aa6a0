#pragma once

#include "command/job_request.h"

#include <string>
#include <vector>

namespace cantova {

struct LameTranslation {
    std::vector<std::string> arguments; // switches for the installed lame
    std::vector<std::string> notes;     // one log line per switch changed or dropped
};

// Turns the LAME group's switches, written in the syntax of older LAME releases, into the
// switches of the installed lame 3.100. A constant bitrate that MP3 does not carry at the
// sample rate lame is fed (sampleRate) becomes the nearest one it does, with a note.
LameTranslation translateLameSwitches(const LameOptions& lame, int sampleRate);

// Whether lame, given these (installed lame's) switches, keeps the loudness of its input: VBR
// at quality 0 to 4 (-V, the presets medium, standard, extreme) or a constant or average
// bitrate of 256 kbit/s or more, where a pure tone decodes within 0.1 LU of its input. Below
// that, lame's quantiser takes up to 0.9 LU off a tone (CBR 128).
bool lameKeepsLoudness(const std::vector<std::string>& arguments);

} // namespace cantova
