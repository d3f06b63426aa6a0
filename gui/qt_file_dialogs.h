#pragma once

// File dialogs of the GUI through QFileDialog, each opening where the last one chose a file
// (gui/file_dialog_folder.h) and as large as the screen has room for.

#include "gui/file_dialog_folder.h"
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

    FileDialogFolder& folder() { return folder_; }

private:
    FileDialogFolder folder_;
};

} // namespace cantova::ui::qt
