#include "ui/main_window.h"

#include "ui/windows.h"

namespace cantova::ui {

MainWindow::MainWindow(Windows& windows) : Window(MainWindowForm()), windows_(windows) {
    connectReactions();
}

int MainWindow::Mp3Mode() const {
    int mode = -1;
    CmbMP3Mode.selectedData(mode);
    return mode;
}

int MainWindow::OggMode() const {
    int mode = -1;
    CmbOGGMode.selectedData(mode);
    return mode;
}

AdvancedPanel& MainWindow::panel() const {
    return windows_.frmPanelAudio;
}

void MainWindow::CmdBrowseStream1_Click() {
    if (ports_.source != nullptr) {
        ports_.source->Browse();
    }
}

void MainWindow::CmbSourceTrack_Click() {
    if (ports_.source != nullptr) {
        ports_.source->TrackChosen();
    }
}

int MainWindow::ChosenSourceTrack() const {
    int number = 0;
    return windows_.program.SourceIsContainer && CmbSourceTrack.selectedData(number) ? number : 0;
}

void MainWindow::CmdAddAudioJobList_Click() {
    if (ports_.jobs != nullptr) {
        ports_.jobs->AddJob();
    }
}

void MainWindow::CmdDelAudioJobList_Click() {
    if (ports_.jobs != nullptr) {
        ports_.jobs->DeleteJob();
    }
}

void MainWindow::cmdStartEncode_Click() {
    if (ports_.run != nullptr) {
        ports_.run->Start();
    }
}

void MainWindow::CmdClipboard_Click() {
    if (ports_.commandLines != nullptr) {
        ports_.commandLines->CopyCommandLines();
    }
}

void MainWindow::MenuPrfAudioSave_Click() {
    if (ports_.profiles != nullptr) {
        ports_.profiles->Save();
    }
}

void MainWindow::MenuPrfAudioLoad_Click() {
    if (ports_.profiles != nullptr) {
        ports_.profiles->Load();
    }
}

void MainWindow::connectReactions() {
    cmdExit.onClick([this] { cmdExit_Click(); });
    MenuAbout.onClick([this] { MenuAbout_Click(); });
    OptAudioCodec.onClick([this](int index) { OptAudioCodec_Click(index); });
    CmbBitrateAudio.onClick([this] { CmbBitrateAudio_Click(); });
    CmbGainMode.onClick([this] { CmbGainMode_Click(); });
    CmbMP3Mode.onClick([this] { CmbMP3Mode_Click(); });
    CmbOGGMode.onClick([this] { CmbOGGMode_Click(); });
    ChkAC3Reencode.onClick([this] { ChkAC3Reencode_Click(); });
    ChkDownSample.onClick([this] { ChkDownSample_Click(); });
    ChkSplitStartPoint.onClick([this] { ChkSplitStartPoint_Click(); });
    ChkAutoDelay.onClick([this] { ChkAutoDelay_Click(); });
    ChkUseBoost.onClick([this] { ChkUseBoost_Click(); });
    CmdAdvancedAudio.onClick([this] { CmdAdvancedAudio_Click(); });
    CmdBrowseStream1.onClick([this] { CmdBrowseStream1_Click(); });
    CmbSourceTrack.onClick([this] { CmbSourceTrack_Click(); });
    MenuPrfAudioSave.onClick([this] { MenuPrfAudioSave_Click(); });
    MenuPrfAudioLoad.onClick([this] { MenuPrfAudioLoad_Click(); });
    CmdAddAudioJobList.onClick([this] { CmdAddAudioJobList_Click(); });
    CmdDelAudioJobList.onClick([this] { CmdDelAudioJobList_Click(); });
    cmdStartEncode.onClick([this] { cmdStartEncode_Click(); });
    CmdClipboard.onClick([this] { CmdClipboard_Click(); });
}

} // namespace cantova::ui
