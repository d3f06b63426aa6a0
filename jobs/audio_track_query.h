#pragma once

// The track listing of the media information library, loaded by name for each query as the AC3
// probe is.

#include "jobs/library_loader.h"
#include "ui/message_boxes.h"
#include "ui/source_tracks.h"

#include <tracklens/tracklens.h>

#include <string>
#include <vector>

namespace cantova::jobs {

inline constexpr const char* kListAudioTracksSymbol = "ListAudioTracks";

// The library's export, with C linkage.
using ListAudioTracksFunction = int (*)(char* path, TRACKLENS_AUDIO_TRACK* tracks, int32_t capacity,
                                        int32_t* count);

struct AudioTrackQuery {
    enum class Status {
        Read,      // tracks holds the file's audio tracks, none for a file without one
        NotMedia,  // the file cannot be read as media
        NoLibrary, // the library or its export is missing; a message has said so
    };
    Status status = Status::NotMedia;
    std::vector<ui::SourceTrack> tracks;
};

AudioTrackQuery QueryAudioTracks(LibraryLoader& loader, ui::MessageBoxes& messages,
                                 const std::string& path);

} // namespace cantova::jobs
