// The source button of the main window and the selection of a source path: the AC3 probe and its
// display, the delay from the file name and the job buttons.

#include "jobs/ac3_query.h"
#include "jobs/source_path_rules.h"
#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

namespace {

constexpr const char* kSourceDialogTitle = "Choose Audio Source File";
constexpr const char* kSourceDialogFilter =
    "All Compatible Audio Stream|*.ac3;*.mpa;*.mp2;*.pcm|AC3 Audio Stream (*.ac3)|*.ac3|MPEG-2 "
    "Audio Stream (*.mpa/*.mp2)|*.mpa;*.mp2|LPCM Audio Stream (*.pcm)|*.pcm|WAVE Audio Stream "
    "(*.wav)|*.wav";

} // namespace

void MainWindow::CmdBrowseStream1_Click() {
    const std::string path =
        windows_.services.dialogs.ShowOpenDialog(kSourceDialogFilter, kSourceDialogTitle, "");
    // A cancelled dialog leaves the source, its values and the job list as they were.
    if (path.empty()) {
        return;
    }
    SelectSource(path);
}

bool MainWindow::SelectSource(const std::string& path) {
    // A path that cannot be a job's source is refused before anything changes.
    if (auto problem = jobs::SourcePathProblem(path)) {
        windows_.services.messages.Show(*problem, "Error", MessageIcon::Exclamation);
        return false;
    }
    ProgramValues& program = windows_.program;
    program.Ac3Channels = 0;
    program.Ac3Frequency = 0;
    TxtStreamAudio.setText(path);

    CmdAddAudioJobList.setEnabled(true);
    CmdDelAudioJobList.setEnabled(true);
    cmdStartEncode.setEnabled(true);
    if (jobs::SourceExtension(path) == ".AC3") {
        OptAudioCodec[0].setEnabled(true);
        BitRateAC3 = jobs::QueryAc3Info(windows_.services, program, path);
        OptAudioCodec[0].setCaption("AC3 " + std::to_string(BitRateAC3) + " Kbps");
        LbStream1Info.setCaption("Bitrate : " + std::to_string(BitRateAC3) +
                                 " Kbps   Channels : " + std::to_string(program.Ac3Channels) +
                                 "   Frequency : " + std::to_string(program.Ac3Frequency) + " Hz");
        if (OptAudioCodec.chosen() == 3) {
            CmdAdvancedAudio.setEnabled(true);
        }
    } else {
        OptAudioCodec[0].setEnabled(false);
        LbStream1Info.setCaption("");
        if (OptAudioCodec.chosen() == 3) {
            CmdAdvancedAudio.setEnabled(false);
        }
        // The AC3 target needs an AC3 source: a greyed-out choice must not stay chosen.
        if (OptAudioCodec.chosen() == 0) {
            OptAudioCodec[1].setValue(true);
        }
    }

    if (auto delay = jobs::DelayFromFileName(path)) {
        TxtDelay.setText(*delay);
    }
    CmbBitrateAudio.click();
    return true;
}

} // namespace cantova::ui
