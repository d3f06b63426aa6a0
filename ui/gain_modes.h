#pragma once

// The gain modes each target offers in CmbGainMode, in list order. An item's data says which
// mode it is; the position of a mode in the list depends on the target, since "Loudness" is the
// last item of every list.

#include "ui/control.h"
#include "ui/job_kind.h"

#include <optional>
#include <vector>

namespace cantova::ui {

// Item data of the gain modes.
inline constexpr int kGainNone = 0;
inline constexpr int kGainPre = 1;
inline constexpr int kGainPost = 2;
inline constexpr int kGainHybrid = 3;
inline constexpr int kGainLoudness = 4;

// The items of the gain-mode list for a target.
std::vector<ListItem> GainModeItems(Codec codec);

// The position of the mode with item data mode in the list of codec; nothing when the list has
// no such mode.
std::optional<int> GainModePosition(Codec codec, int mode);

// The loudness settings beside the gain mode: their defaults, what may be typed, and the items
// the target list offers (EBU R128, ATSC A/85, and the levels of online platforms).
inline constexpr const char* kDefaultLoudnessTarget = "-23";
inline constexpr const char* kDefaultTruePeakCeiling = "-1";
inline constexpr int kLowestLoudnessTarget = -40;
inline constexpr int kHighestLoudnessTarget = -5;
inline constexpr int kLowestTruePeakCeiling = -9;
inline constexpr int kHighestTruePeakCeiling = 0;

} // namespace cantova::ui
