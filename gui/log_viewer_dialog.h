#pragma once

#include "gui/file_dialog_folder.h"
#include "gui/log_window.h"
#include "jobs/run_services.h"

#include <QPointer>

class QWidget;

namespace cantova::ui::qt {

// The transcoder log in a read-only text window beside the main window; the program goes on
// while it is open. A log window still open shows the next log in place of the last one.
class LogViewerDialog : public jobs::LogViewer {
public:
    explicit LogViewerDialog(QWidget* owner) : owner_(owner) {}
    void ShowLog(const std::string& path) override;
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Where the log window's Save As opens.
    void setDialogFolder(FileDialogFolder* folder) { folder_ = folder; }

private:
    QWidget* owner_;
    QPointer<LogWindow> window_;
    FileDialogFolder* folder_ = nullptr;
};

} // namespace cantova::ui::qt
