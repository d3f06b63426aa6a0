#include "jobs/audio_track_query.h"

#include "jobs/ac3_query.h"

#include <algorithm>

namespace cantova::jobs {

namespace {

// More tracks than a disc or a broadcast carries; the list shows the first of them.
constexpr int32_t kMostTracks = 64;

ui::SourceTrack SourceTrackOf(const TRACKLENS_AUDIO_TRACK& found) {
    ui::SourceTrack track;
    track.number = found.Number;
    track.codec = found.Codec;
    track.layout = found.Layout;
    track.channels = found.Channels;
    track.lfeChannels = found.LfeChannels;
    track.sampleRate = found.SampleRate;
    track.bitrate = found.Bitrate;
    track.language = found.Language;
    track.title = found.Title;
    track.isDefault = found.IsDefault != 0;
    track.seconds = found.DurationMs / 1000.0;
    return track;
}

} // namespace

AudioTrackQuery QueryAudioTracks(LibraryLoader& loader, ui::MessageBoxes& messages,
                                 const std::string& path) {
    AudioTrackQuery query;
    LibraryLoader::Handle library = loader.Open(kTracklensLibrary);
    if (library == nullptr) {
        messages.Show(std::string("Can't find the ") + kTracklensLibrary + " file", "Error",
                      ui::MessageIcon::Exclamation);
        query.status = AudioTrackQuery::Status::NoLibrary;
        return query;
    }
    auto listAudioTracks = reinterpret_cast<ListAudioTracksFunction>(
        loader.FindSymbol(library, kListAudioTracksSymbol));
    if (listAudioTracks == nullptr) {
        loader.Close(library);
        messages.Show(std::string("Can't find the ListAudioTracks function in the ") +
                          kTracklensLibrary + " file",
                      "Error", ui::MessageIcon::Exclamation);
        query.status = AudioTrackQuery::Status::NoLibrary;
        return query;
    }
    std::vector<char> pathBytes(path.begin(), path.end());
    pathBytes.push_back('\0');
    std::vector<TRACKLENS_AUDIO_TRACK> found(kMostTracks);
    int32_t count = 0;
    const int read = listAudioTracks(pathBytes.data(), found.data(), kMostTracks, &count);
    loader.Close(library);
    if (read != 1) {
        return query;
    }
    query.status = AudioTrackQuery::Status::Read;
    for (int32_t i = 0; i < std::min(count, kMostTracks); ++i) {
        query.tracks.push_back(SourceTrackOf(found[static_cast<std::size_t>(i)]));
    }
    return query;
}

} // namespace cantova::jobs
