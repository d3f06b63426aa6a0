#pragma once

// The "Profils" menu of the main window: saving the settings of both windows to an audio profile
// and loading one back.

#include "settings/file_dialogs.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

namespace cantova::ui {
struct Windows;
}

namespace cantova::settings {

class ProfileMenu : public ui::ProfilePort {
public:
    ProfileMenu(ui::Windows& windows, FileDialogs& dialogs, ui::MessageBoxes& messages)
        : windows_(windows), dialogs_(dialogs), messages_(messages) {}

    void Save() override;
    void Load() override;

private:
    // What the dialog's answer does; an empty path (cancelled) does nothing.
    void saveTo(std::string path);
    void loadFrom(const std::string& path);
    ui::Windows& windows_;
    FileDialogs& dialogs_;
    ui::MessageBoxes& messages_;
};

} // namespace cantova::settings
