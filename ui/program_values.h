#pragma once

#include "ui/source_tracks.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cantova::ui {

// The values that belong to the program rather than to one window.
struct ProgramValues {
    // Channel count and sampling rate of the chosen AC3 source, 0 while none is known.
    std::int32_t Ac3Channels = 0;
    std::int32_t Ac3Frequency = 0;
    // The audio tracks of the chosen source, as CmbSourceTrack lists them; empty for the streams
    // that are read without a probe of their tracks (AC3, MPEG audio, LPCM, WAVE).
    std::vector<SourceTrack> SourceTracks;
    // The source is a container, whose command lines name the chosen track.
    bool SourceIsContainer = false;
    // Head of every transcoder command line, set once at start-up.
    std::string TranscoderPath;
    // Set when the main window has been unloaded: the program ends.
    bool ended = false;
};

} // namespace cantova::ui
