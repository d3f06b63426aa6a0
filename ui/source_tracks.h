#pragma once

// The audio tracks of the chosen source as the track list shows them, and which one a new source
// starts with.

#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {

struct SourceTrack {
    int number = 0; // from 1, as the command line names it
    std::string codec;
    std::string layout; // "5.1"
    int channels = 0;   // all, low-frequency ones included
    int lfeChannels = 0;
    int sampleRate = 0; // Hz
    int bitrate = 0;    // kbit/s, 0 where unknown
    std::string language;
    std::string title;
    bool isDefault = false;
    double seconds = 0; // how long it plays, 0 where unknown
};

// The list's item: "2: AAC 2.0, 48000 Hz, 128 kbit/s, ger, Kommentar (default)".
std::string TrackListItem(const SourceTrack& track);

// The information line for the track: "Codec : AAC   Bitrate : 128 Kbps   Channels : 2.0
// Frequency : 48000 Hz", without the bit rate where it is unknown.
std::string TrackInformation(const SourceTrack& track);

// The position of the track a new source starts with: the first in the wanted language when one
// is given and the source has it, else the one marked as default, else the first. Nothing for no
// tracks.
std::optional<std::size_t> StartingTrack(const std::vector<SourceTrack>& tracks,
                                         const std::string& language = {});

} // namespace cantova::ui
