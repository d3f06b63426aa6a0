#pragma once

// What the table of recommended settings per bit rate says, for those who show a job's target.

#include <optional>

namespace cantova::ui {

// The position in CmbQualityOGG of the Vorbis quality recommended for kbps; nothing for a rate
// the table does not hold.
std::optional<int> OggQualityIndexOfRate(int kbps);

} // namespace cantova::ui
