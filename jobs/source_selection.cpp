// The source button of the main window: the open dialog, the AC3 probe and its display, the delay
// from the file name and the job buttons.

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
    ProgramValues& program = windows_.program;
    const std::string path =
        windows_.services.dialogs.ShowOpenDialog(kSourceDialogFilter, kSourceDialogTitle, "");
    // A path the command line cannot carry is refused before anything changes.
    if (auto problem = jobs::SourcePathProblem(path)) {
        windows_.services.messages.Show(*problem, "Error", MessageIcon::Exclamation);
        return;
    }
    program.Ac3Channels = 0;
    program.Ac3Frequency = 0;
    TxtStreamAudio.setText(path);

    if (path.empty()) {
        LbStream1Info.setCaption("");
        CmdAddAudioJobList.setEnabled(false);
        CmdDelAudioJobList.setEnabled(false);
        cmdStartEncode.setEnabled(false);
        LstJobAudio(0).clear();
        LstJobAudio(1).clear();
        return;
    }

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
    }

    if (auto delay = jobs::DelayFromFileName(path)) {
        TxtDelay.setText(*delay);
    }
    CmbBitrateAudio.click();
}

} // namespace cantova::ui
