#pragma once

#include "command/target_plan.h"

#include <optional>

namespace cantova {

struct WrittenLength {
    double seconds = 0.0;
    int sampleRate = 0;
};

// How long a written file plays, read from its own frames without decoding it: the complete
// WAVE data, AC3 frames, MP3 frames (less the encoder delay and padding of the LAME tag) or the
// last complete Ogg page's granule position (less an Opus decoder's pre-skip). Nothing when the
// file does not begin as one of these, and for FLAC, whose length is found by decoding it. A
// file cut short plays only what it holds.
std::optional<WrittenLength> writtenLength(int fd, Target target);

// The samples of one frame of the target: a written file may play shorter than what was
// encoded by no more (WAV: one sample).
int frameSamples(Target target);

} // namespace cantova
