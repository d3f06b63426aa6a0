#include "ui/main_window.h"

#include "ui/windows.h"

namespace cantova::ui {

MainWindow::MainWindow(Windows& windows) : Window(MainWindowForm()), windows_(windows) {
    connectReactions();
}

AdvancedPanel& MainWindow::panel() const {
    return windows_.frmPanelAudio;
}

void MainWindow::connectReactions() {
    cmdExit.onClick([this] { cmdExit_Click(); });
    MenuAbout.onClick([this] { MenuAbout_Click(); });
    CmdBrowseStream1.onClick([this] { CmdBrowseStream1_Click(); });
    MenuPrfAudioSave.onClick([this] { MenuPrfAudioSave_Click(); });
    MenuPrfAudioLoad.onClick([this] { MenuPrfAudioLoad_Click(); });
}

} // namespace cantova::ui
