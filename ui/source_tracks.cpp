#include "ui/source_tracks.h"

#include <algorithm>

namespace cantova::ui {

std::string TrackListItem(const SourceTrack& track) {
    std::string item = std::to_string(track.number) + ": " + track.codec;
    if (!track.layout.empty()) {
        item += " " + track.layout;
    }
    if (track.sampleRate > 0) {
        item += ", " + std::to_string(track.sampleRate) + " Hz";
    }
    if (track.bitrate > 0) {
        item += ", " + std::to_string(track.bitrate) + " kbit/s";
    }
    if (!track.language.empty()) {
        item += ", " + track.language;
    }
    if (!track.title.empty()) {
        item += ", " + track.title;
    }
    if (track.isDefault) {
        item += " (default)";
    }
    return item;
}

std::string TrackInformation(const SourceTrack& track) {
    std::string line = "Codec : " + track.codec;
    if (track.bitrate > 0) {
        line += "   Bitrate : " + std::to_string(track.bitrate) + " Kbps";
    }
    return line + "   Channels : " + (track.layout.empty() ? "?" : track.layout) +
           "   Frequency : " + std::to_string(track.sampleRate) + " Hz";
}

std::optional<std::size_t> StartingTrack(const std::vector<SourceTrack>& tracks,
                                         const std::string& language) {
    if (tracks.empty()) {
        return std::nullopt;
    }
    const auto position = [&](auto predicate) -> std::optional<std::size_t> {
        const auto found = std::find_if(tracks.begin(), tracks.end(), predicate);
        if (found == tracks.end()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(found - tracks.begin());
    };
    if (!language.empty()) {
        if (auto same = position([&](const SourceTrack& t) { return t.language == language; })) {
            return same;
        }
    }
    return position([](const SourceTrack& t) { return t.isDefault; }).value_or(0);
}

} // namespace cantova::ui
