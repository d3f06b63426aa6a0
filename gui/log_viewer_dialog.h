#pragma once

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

private:
    QWidget* owner_;
};

} // namespace cantova::ui::qt
