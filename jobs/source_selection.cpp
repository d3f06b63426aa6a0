// The source button of the main window and the selection of a source path: the AC3 probe and its
// display, the delay from the file name and the job buttons.

#include "jobs/source_selection.h"

#include "jobs/ac3_query.h"
#include "jobs/audio_track_query.h"
#include "jobs/source_path_rules.h"
#include "ui/windows.h"

#include <algorithm>
#include <array>

namespace cantova::jobs {

using ui::Codec;
using ui::MessageIcon;

namespace {

constexpr const char* kSourceDialogTitle = "Choose Audio Source File";
constexpr const char* kAudioStreamFilter =
    "All Compatible Audio Stream|*.ac3;*.mpa;*.mp2;*.pcm;*.wav|AC3 Audio Stream "
    "(*.ac3)|*.ac3|MPEG-2 "
    "Audio Stream (*.mpa/*.mp2)|*.mpa;*.mp2|LPCM Audio Stream (*.pcm)|*.pcm|WAVE Audio Stream "
    "(*.wav)|*.wav";
// The containers and the streams read through a probe of their track, after the entries above.
constexpr const char* kTrackSourceFilter =
    "|Video or Container Audio Track "
    "(*.mkv/*.mka/*.webm/*.mp4/*.m4a/*.mov/*.ts/*.m2ts/*.mts/*.vob/*.mpg/*.mpeg/*.avi)|"
    "*.mkv;*.mka;*.webm;*.mp4;*.m4a;*.mov;*.ts;*.m2ts;*.mts;*.vob;*.mpg;*.mpeg;*.avi|DTS, E-AC3, "
    "TrueHD, AAC, FLAC or Opus Audio Stream (*.dts/*.eac3/*.ec3/*.thd/*.aac/*.flac/*.opus)|"
    "*.dts;*.eac3;*.ec3;*.thd;*.aac;*.flac;*.opus";
constexpr const char* kAllFilesEntry = "|All Files (*)|*";

constexpr std::array<const char*, 13> kContainerExtensions = {
    ".MKV",  ".MKA", ".WEBM", ".MP4", ".M4A",  ".MOV", ".TS",
    ".M2TS", ".MTS", ".VOB",  ".MPG", ".MPEG", ".AVI"};
constexpr std::array<const char*, 7> kProbedStreamExtensions = {".DTS", ".EAC3", ".EC3", ".THD",
                                                                ".AAC", ".FLAC", ".OPUS"};

template <std::size_t N>
bool Among(const std::string& extension, const std::array<const char*, N>& extensions) {
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

} // namespace

std::string SourceDialogFilter() {
    return std::string(kAudioStreamFilter) + kTrackSourceFilter + kAllFilesEntry;
}

SourceKind SourceKindOf(const std::string& path) {
    const std::string extension = SourceExtension(path);
    if (Among(extension, kContainerExtensions)) {
        return SourceKind::Container;
    }
    if (Among(extension, kProbedStreamExtensions)) {
        return SourceKind::ProbedStream;
    }
    return SourceKind::Stream;
}

std::vector<std::string> SourceAudioPatterns() {
    std::vector<std::string> patterns;
    for (const settings::DialogFilter& entry :
         settings::ParseDialogFilter(std::string(kAudioStreamFilter) + kTrackSourceFilter)) {
        for (const std::string& pattern : entry.patterns) {
            if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
                patterns.push_back(pattern);
            }
        }
    }
    return patterns;
}

void SourceSelection::Browse() {
    dialogs_.ShowOpenDialog(SourceDialogFilter(), kSourceDialogTitle, "",
                            [this](const std::string& path) {
                                // A cancelled dialog leaves the source, its values and the job
                                // list as they were.
                                if (!path.empty()) {
                                    Select(path);
                                }
                            });
}

bool SourceSelection::ReadTracks(const std::string& path, std::vector<ui::SourceTrack>& tracks) {
    const AudioTrackQuery query = QueryAudioTracks(libraries_, messages_, path);
    switch (query.status) {
    case AudioTrackQuery::Status::NoLibrary:
        return false;
    case AudioTrackQuery::Status::NotMedia:
        messages_.Show(
            "The file cannot be read as audio or video (it may be cut short or damaged), "
            "so it was not taken as the source:\n" +
                path,
            "Error", MessageIcon::Exclamation);
        return false;
    case AudioTrackQuery::Status::Read:
        break;
    }
    if (query.tracks.empty()) {
        messages_.Show("The file holds no audio track, so it was not taken as the source:\n" + path,
                       "Error", MessageIcon::Exclamation);
        return false;
    }
    tracks = query.tracks;
    return true;
}

void SourceSelection::ShowAc3Source(std::int16_t bitrate) {
    ui::MainWindow& w = windows_.frmMain;
    ui::OptionButton& ac3Target = w.OptAudioCodec[static_cast<int>(Codec::Ac3)];
    ac3Target.setEnabled(true);
    w.BitRateAC3 = bitrate;
    ac3Target.setCaption("AC3 " + std::to_string(w.BitRateAC3) + " Kbps");
    if (ui::ChosenCodec(w) == Codec::Wav) {
        w.CmdAdvancedAudio.setEnabled(true);
    }
}

void SourceSelection::ShowOtherSource() {
    ui::MainWindow& w = windows_.frmMain;
    const std::optional<Codec> chosen = ui::ChosenCodec(w);
    w.OptAudioCodec[static_cast<int>(Codec::Ac3)].setEnabled(false);
    if (chosen == Codec::Wav) {
        w.CmdAdvancedAudio.setEnabled(false);
    }
    // The AC3 target needs an AC3 source: a greyed-out choice must not stay chosen.
    if (chosen == Codec::Ac3) {
        w.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
    }
}

void SourceSelection::TrackChosen() {
    ShowChosenTrack();
    windows_.frmMain.CmbBitrateAudio.click();
}

void SourceSelection::ShowChosenTrack() {
    ui::ProgramValues& program = windows_.program;
    ui::MainWindow& w = windows_.frmMain;
    const int index = w.CmbSourceTrack.listIndex();
    if (index < 0 || index >= static_cast<int>(program.SourceTracks.size())) {
        return;
    }
    const ui::SourceTrack& track = program.SourceTracks[static_cast<std::size_t>(index)];
    w.LbStream1Info.setCaption(ui::TrackInformation(track));
    if (track.codec == "AC3") {
        program.Ac3Channels = track.channels - track.lfeChannels;
        program.Ac3Frequency = track.sampleRate;
        ShowAc3Source(static_cast<std::int16_t>(std::clamp(track.bitrate, 0, 32767)));
    } else {
        program.Ac3Channels = 0;
        program.Ac3Frequency = 0;
        ShowOtherSource();
    }
}

std::string SourceSelection::ChosenTrackLanguage() const {
    const int index = windows_.frmMain.CmbSourceTrack.listIndex();
    const std::vector<ui::SourceTrack>& tracks = windows_.program.SourceTracks;
    return index >= 0 && index < static_cast<int>(tracks.size())
               ? tracks[static_cast<std::size_t>(index)].language
               : std::string();
}

bool SourceSelection::Select(const std::string& path, const std::string& language) {
    // A path that cannot be a job's source is refused before anything changes.
    if (auto problem = SourcePathProblem(path)) {
        messages_.Show(*problem, "Error", MessageIcon::Exclamation);
        return false;
    }
    const SourceKind kind = SourceKindOf(path);
    std::vector<ui::SourceTrack> tracks;
    if (kind != SourceKind::Stream && !ReadTracks(path, tracks)) {
        return false;
    }
    ui::ProgramValues& program = windows_.program;
    ui::MainWindow& w = windows_.frmMain;
    program.Ac3Channels = 0;
    program.Ac3Frequency = 0;
    w.TxtStreamAudio.setText(path);

    w.CmdAddAudioJobList.setEnabled(true);
    w.CmdDelAudioJobList.setEnabled(true);
    w.cmdStartEncode.setEnabled(true);
    w.CmdClipboard.setEnabled(true);
    std::vector<ui::ListItem> items;
    for (const ui::SourceTrack& track : tracks) {
        items.push_back({ui::TrackListItem(track), track.number});
    }
    const std::optional<std::size_t> starting = ui::StartingTrack(tracks, language);
    w.CmbSourceTrack.restoreItems(items, starting ? static_cast<int>(*starting) : -1);
    w.CmbSourceTrack.setEnabled(!tracks.empty());
    program.SourceTracks = std::move(tracks);
    program.SourceIsContainer = kind == SourceKind::Container;

    if (kind != SourceKind::Stream) {
        ShowChosenTrack();
    } else if (SourceExtension(path) == ".AC3") {
        const std::int16_t bitrate = QueryAc3Info(libraries_, messages_, program, path);
        ShowAc3Source(bitrate);
        w.LbStream1Info.setCaption("Bitrate : " + std::to_string(w.BitRateAC3) +
                                   " Kbps   Channels : " + std::to_string(program.Ac3Channels) +
                                   "   Frequency : " + std::to_string(program.Ac3Frequency) +
                                   " Hz");
    } else {
        w.LbStream1Info.setCaption("");
        ShowOtherSource();
    }

    if (auto delay = DelayFromFileName(path)) {
        w.TxtDelay.setText(*delay);
    }
    w.CmbBitrateAudio.click();
    return true;
}

} // namespace cantova::jobs
