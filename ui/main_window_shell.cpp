// Start-up, exit and the About box of the main window.

#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

void MainWindow::Form_Load() {
    addListBoxElement("LstJobFile", 1);
    addListBoxElement("LstJobAudio", 1);

    OptAudioCodec[1].setValue(true);

    CmbMP3Mode.setListIndex(0);
    CmbOGGMode.setListIndex(1);
    ChkUseBoost.setValue(0);
    CmbGainMode.setListIndex(0);
    ChkDownSample.setValue(0);
    CmbPriority.setListIndex(0);

    LbStream1Info.setCaption("");

    CmdAddAudioJobList.setEnabled(false);
    CmdDelAudioJobList.setEnabled(false);
    cmdStartEncode.setEnabled(false);
    CmdClipboard.setEnabled(false);
}

void MainWindow::Form_Unload() {
    removeListBoxElement("LstJobFile", 1);
    removeListBoxElement("LstJobAudio", 1);
    // The program ends with the main window: whoever watches it disappear must already know.
    windows_.program.ended = true;
    panel().hide();
    hide();
}

bool MainWindow::Form_QueryUnload() {
    return ports_.exit == nullptr || ports_.exit->MayExit();
}

void MainWindow::cmdExit_Click() {
    // With jobs in the list or a run going on, the question about them comes first.
    if (Form_QueryUnload()) {
        Form_Unload();
    }
}

void MainWindow::MenuAbout_Click() {
    // The version is the build's, from the project's definition.
    windows_.messages.Show(form().caption +
                               "\n"
                               "Version " CANTOVA_VERSION "\n"
                               "A front end for the Cantova console audio transcoder.\n"
                               "Written by the Cantova developers.",
                           "About ...", MessageIcon::Information);
}

} // namespace cantova::ui
