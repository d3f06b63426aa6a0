#pragma once

// File dialogs of the GUI through QFileDialog, each opening where the last one chose a file
// (gui/file_dialog_folder.h) and as large as the screen has room for.

#include "gui/file_dialog_folder.h"
#include "settings/file_dialogs.h"

namespace cantova::ui::qt {

class QtFileDialogs final : public settings::FileDialogs {
public:
    // Each dialog is window-modal on the active window and runs no event loop of its own: the
    // program goes on while it is open, and the choice comes from the program's loop.
    void ShowOpenDialog(const std::string& filter, const std::string& title,
                        const std::string& initialFolder, PathChosen chosen) override;
    void ShowSaveDialog(const std::string& filter, const std::string& title,
                        const std::string& initialFolder, PathChosen chosen) override;
    void ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                             const std::string& initialFolder, FilesChosen chosen) override;

    FileDialogFolder& folder() { return folder_; }

private:
    FileDialogFolder folder_;
};

} // namespace cantova::ui::qt
