#pragma once

#include "gui/file_dialog_folder.h"
#include "jobs/run_services.h"

class QWidget;

namespace cantova::ui::qt {

// The transcoder log in a read-only text window beside the main window; the program goes on
// while it is open.
class LogViewerDialog : public jobs::LogViewer {
public:
    explicit LogViewerDialog(QWidget* owner) : owner_(owner) {}
    void ShowLog(const std::string& path) override;
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Where the log window's Save As opens.
    void setDialogFolder(FileDialogFolder* folder) { folder_ = folder; }

private:
    QWidget* owner_;
    FileDialogFolder* folder_ = nullptr;
};

} // namespace cantova::ui::qt
