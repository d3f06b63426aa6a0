// The source button of the main window and the selection of a source path: the AC3 probe and its
// display, the delay from the file name and the job buttons.

#include "jobs/source_selection.h"

#include "jobs/ac3_query.h"
#include "jobs/source_path_rules.h"
#include "ui/windows.h"

#include <algorithm>

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
constexpr const char* kAllFilesEntry = "|All Files (*)|*";

} // namespace

std::string SourceDialogFilter() {
    return std::string(kAudioStreamFilter) + kAllFilesEntry;
}

std::vector<std::string> SourceAudioPatterns() {
    std::vector<std::string> patterns;
    for (const settings::DialogFilter& entry : settings::ParseDialogFilter(kAudioStreamFilter)) {
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

std::unique_ptr<LibraryHold> SourceSelection::HoldProbeLibrary() {
    return std::make_unique<LibraryHold>(libraries_, kTracklensLibrary);
}

bool SourceSelection::Select(const std::string& path) {
    // A path that cannot be a job's source is refused before anything changes.
    if (auto problem = SourcePathProblem(path)) {
        messages_.Show(*problem, "Error", MessageIcon::Exclamation);
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
    ui::OptionButton& ac3Target = w.OptAudioCodec[static_cast<int>(Codec::Ac3)];
    const std::optional<Codec> chosen = ui::ChosenCodec(w);
    if (SourceExtension(path) == ".AC3") {
        ac3Target.setEnabled(true);
        w.BitRateAC3 = QueryAc3Info(libraries_, messages_, program, path);
        ac3Target.setCaption("AC3 " + std::to_string(w.BitRateAC3) + " Kbps");
        w.LbStream1Info.setCaption("Bitrate : " + std::to_string(w.BitRateAC3) +
                                   " Kbps   Channels : " + std::to_string(program.Ac3Channels) +
                                   "   Frequency : " + std::to_string(program.Ac3Frequency) +
                                   " Hz");
        if (chosen == Codec::Wav) {
            w.CmdAdvancedAudio.setEnabled(true);
        }
    } else {
        ac3Target.setEnabled(false);
        w.LbStream1Info.setCaption("");
        if (chosen == Codec::Wav) {
            w.CmdAdvancedAudio.setEnabled(false);
        }
        // The AC3 target needs an AC3 source: a greyed-out choice must not stay chosen.
        if (chosen == Codec::Ac3) {
            w.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
        }
    }

    if (auto delay = DelayFromFileName(path)) {
        w.TxtDelay.setText(*delay);
    }
    w.CmbBitrateAudio.click();
    return true;
}

} // namespace cantova::jobs
