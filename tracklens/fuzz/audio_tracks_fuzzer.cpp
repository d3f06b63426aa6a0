// Feeds arbitrary files to the listing of audio tracks: the reader's callbacks, the time limit
// and the copying of what libavformat found into the records.

#include "audio_tracks.h"
#include "memory_file.h"
#include "open_file.h"

#include <cstdlib>
#include <cstring>

namespace {

template <std::size_t N> bool Terminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile memory;
    const tracklens::OpenFile file(memory.Hold(data, size));
    const auto tracks = tracklens::ListAudioTracksOf(file.Descriptor());
    if (!tracks) {
        return 0;
    }
    for (std::size_t i = 0; i < tracks->size(); ++i) {
        const TRACKLENS_AUDIO_TRACK& track = (*tracks)[i];
        if (track.Number != static_cast<std::int32_t>(i) + 1 || !Terminated(track.Codec) ||
            !Terminated(track.Layout) || !Terminated(track.Language) || !Terminated(track.Title) ||
            track.LfeChannels < 0 || track.LfeChannels > 2 || track.Bitrate < 0 ||
            track.DurationMs < 0) {
            std::abort();
        }
    }
    return 0;
}
