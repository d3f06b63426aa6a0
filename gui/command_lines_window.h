#pragma once

// "Show Command Lines": each job's command line as the transcoder receives it, with buttons that
// copy the lines (the selected ones, or all) as transcoder lines, shell commands or JSON arrays.
// A window beside the main window; the program goes on while it is open.

#include "cmdline/command_forms.h"
#include "jobs/clipboard.h"
#include "jobs/command_lines.h"

#include <QDialog>

class QLabel;
class QListWidget;

namespace cantova::ui::qt {

class CommandLinesWindow final : public QDialog {
    Q_OBJECT

public:
    CommandLinesWindow(const jobs::CommandLines& commandLines, jobs::Clipboard& clipboard,
                       QWidget* owner);

    // Lists the lines of the job list as it is now.
    void refresh();

private:
    void copy(cmdline::CommandForm form);

    const jobs::CommandLines& commandLines_;
    jobs::Clipboard& clipboard_;
    jobs::CommandListing listing_;
    QListWidget* list_;
    QLabel* status_;
};

} // namespace cantova::ui::qt
