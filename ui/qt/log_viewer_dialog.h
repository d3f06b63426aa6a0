#pragma once

#include "jobs/process_launcher.h"

class QWidget;

namespace cantova::ui::qt {

// The transcoder log in a modal read-only text window.
class LogViewerDialog : public jobs::LogViewer {
public:
    explicit LogViewerDialog(QWidget* owner) : owner_(owner) {}
    void ShowLog(const std::string& path) override;
    void setOwner(QWidget* owner) { owner_ = owner; }

private:
    QWidget* owner_;
};

} // namespace cantova::ui::qt
