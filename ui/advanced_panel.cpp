#include "ui/advanced_panel.h"

#include "ui/windows.h"

namespace cantova::ui {

AdvancedPanel::AdvancedPanel(Windows& windows) : Window(AdvancedPanelForm()), windows_(windows) {
    connectReactions();
}

MainWindow& AdvancedPanel::main() const {
    return windows_.frmMain;
}

void AdvancedPanel::connectReactions() {
    CmdCloseAudioPanel.onClick([this] { CmdCloseAudioPanel_Click(); });
}

void AdvancedPanel::CmdCloseAudioPanel_Click() {
    hide();
}

} // namespace cantova::ui
