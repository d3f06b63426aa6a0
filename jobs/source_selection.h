#pragma once

// Choosing the source: the open dialog behind the source button, and the selection of a path with
// the AC3 probe and its display, the delay from the file name and the job buttons.

#include "jobs/library_loader.h"
#include "settings/file_dialogs.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"
#include "ui/source_tracks.h"

#include <string>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

// The source dialog's filter: the entries of the audio streams the transcoder reads, then one for
// all files.
std::string SourceDialogFilter();
// The file patterns of the audio entries ("*.ac3", ...): what counts as an audio file in a folder.
std::vector<std::string> SourceAudioPatterns();

// How a source is read, by its extension.
enum class SourceKind {
    // The streams read without a probe of their tracks: AC3 (probed for its header), MPEG audio,
    // LPCM, WAVE and anything unknown.
    Stream,
    // A raw stream whose one track is probed: DTS, E-AC3, TrueHD, AAC, FLAC, Opus.
    ProbedStream,
    // A container whose audio tracks are listed and named on the command line.
    Container,
};
SourceKind SourceKindOf(const std::string& path);

class SourceSelection : public ui::SourcePort {
public:
    SourceSelection(ui::Windows& windows, settings::FileDialogs& dialogs, LibraryLoader& libraries,
                    ui::MessageBoxes& messages)
        : windows_(windows), dialogs_(dialogs), libraries_(libraries), messages_(messages) {}

    // The dialog; a cancelled dialog leaves the source, its values and the job list as they were.
    void Browse() override;
    // Takes path as the source, as a choice in the dialog does; false (with a message) when the
    // path cannot be a job's source, nothing changed.
    // A container or probed stream starts with its track in the wanted language when it has one
    // (else its default track, else its first); one without audio tracks is refused.
    bool Select(const std::string& path, const std::string& language = {});
    // The track list's choice.
    void TrackChosen() override;
    // The language of the chosen track, empty when there is none.
    std::string ChosenTrackLanguage() const;

private:
    // Reads the tracks of a container or probed stream; false, with a message, when it has none
    // that can be read.
    bool ReadTracks(const std::string& path, std::vector<ui::SourceTrack>& tracks);
    // The source's values and the AC3 target for an AC3 source (bitrate, full-bandwidth channels
    // and rate), or for any other.
    void ShowAc3Source(std::int16_t bitrate);
    void ShowOtherSource();
    // The information line and the AC3 target for the chosen track.
    void ShowChosenTrack();

    ui::Windows& windows_;
    settings::FileDialogs& dialogs_;
    LibraryLoader& libraries_;
    ui::MessageBoxes& messages_;
};

} // namespace cantova::jobs
