#pragma once

// The bit-rate ladder: the item data of a CmbBitrateAudio entry is its step on it. Steps 0 to 12
// (56 to 448 kbit/s) are shared by all lossy targets and carry the recommended encoder settings;
// step 13 (512 kbit/s) is Opus's alone.

namespace cantova::ui {

inline constexpr int kHighestRateCodeWithDefaults = 12;

// The rate in kbit/s of a step; 0 for a code off the ladder.
int KbpsOfRateCode(int code);

} // namespace cantova::ui
