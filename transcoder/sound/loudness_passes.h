#pragma once

#include "sound/sound_passes.h"

namespace cantova {

// The passes of the loudness mode (-loudness T -truepeak C).
SoundReport runLoudnessPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log);

} // namespace cantova
