#pragma once

// File dialogs of the GUI through QFileDialog.

#include "settings/file_dialogs.h"

namespace cantova::ui::qt {

class QtFileDialogs final : public settings::FileDialogs {
public:
    std::string ShowOpenDialog(const std::string& filter, const std::string& title,
                               const std::string& initialFolder) override;
    std::string ShowSaveDialog(const std::string& filter, const std::string& title,
                               const std::string& initialFolder) override;
    // Window-modal on the active window; the program goes on while it is open.
    void ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                             const std::string& initialFolder, FilesChosen chosen) override;
};

} // namespace cantova::ui::qt
