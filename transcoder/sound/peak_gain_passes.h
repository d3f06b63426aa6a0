#pragma once

#include "sound/sound_passes.h"

namespace cantova {

// The passes of the peak gain modes (-g max, -hybridgain, -G 1).
SoundReport runPeakGainPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log);

} // namespace cantova
