#pragma once

// How long a source plays, told from its size: what the time left of a run is weighed by.

#include <string>

namespace cantova::jobs {

// Seconds, estimated from the file size and the source's bytes per second: an AC3 source by the
// bit rate its header gave (ac3Kbps), a WAV file by its header's byte rate, MPEG audio as
// 224 kbit/s and LPCM as 48 kHz 16-bit stereo, the usual rates of such streams. 0 when the file
// cannot be read. Only the proportions between jobs matter for the time left, so a rate guessed
// from the kind is good enough where the file does not say it.
double EstimateSourceSeconds(const std::string& path, int ac3Kbps);

} // namespace cantova::jobs
