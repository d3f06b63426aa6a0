#pragma once

// The audio tracks of a media file (a container or a raw stream), read with libavformat from an
// open regular file: only its first megabytes are read, and the search gives up after a fixed
// time, so that a huge, truncated or hostile file answers at once.

#include "tracklens/tracklens.h"

#include <optional>
#include <vector>

namespace tracklens {

// Nothing when the file cannot be read as media; an empty list when it holds no audio track.
std::optional<std::vector<TRACKLENS_AUDIO_TRACK>> ListAudioTracksOf(int fd);

} // namespace tracklens
