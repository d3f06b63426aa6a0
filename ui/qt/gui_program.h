#pragma once

// The GUI as the program assembles it: the program's windows and parts with Qt views, and the
// platform services behind message boxes, dialogs, child processes, the log viewer and the
// desktop notification. The job list shows as a table of the job queue, the Jobs menu steers the
// run, and the status line shows the selected job's command line and the run's progress. The
// application's event loop ends when the main window has been unloaded.

#include "app/program.h"
#include "settings/file_dialogs.h"
#include "ui/qt/command_line_menu.h"
#include "ui/qt/desktop_notifier.h"
#include "ui/qt/file_intake_view.h"
#include "ui/qt/log_viewer_dialog.h"
#include "ui/qt/main_window_view.h"
#include "ui/qt/panel_view.h"
#include "ui/qt/qt_clipboard.h"
#include "ui/qt/qt_file_dialogs.h"
#include "ui/qt/qt_message_boxes.h"
#include "ui/qt/qt_process_launcher.h"
#include "ui/qt/run_menu_items.h"
#include "ui/qt/run_status_bar.h"

#include <optional>
#include <string>

namespace cantova::ui::qt {

class GuiProgram {
public:
    // dialogs stands in for the file dialogs when given (tests answer them from a script); the
    // transcoder is looked for below programFolder when one is given.
    explicit GuiProgram(settings::FileDialogs* dialogs = nullptr,
                        const std::string& programFolder = {});
    GuiProgram(const GuiProgram&) = delete;
    GuiProgram& operator=(const GuiProgram&) = delete;

    // Shows the main window; a source given is then selected as a choice in the source dialog
    // would select it.
    void show(const std::optional<std::string>& source = std::nullopt);

    app::Program& program() { return program_; }
    Windows& windows() { return program_.windows; }
    MainWindowView& view() { return mainView_; }
    PanelView& panel() { return panelView_; }
    CommandLineMenu& commandLineMenu() { return commandLineMenu_; }

private:
    QtFileDialogs qtDialogs_;
    QtMessageBoxes messages_;
    QtProcessLauncher processes_;
    LogViewerDialog logViewer_{nullptr};
    QtClipboard clipboard_;
    DesktopNotifier notifier_;
    app::Program program_;
    MainWindowView mainView_;
    PanelView panelView_;
    CommandLineMenu commandLineMenu_;
    FileIntakeView intakeView_;
    RunMenuItems runMenuItems_;
    RunStatusBar statusBar_;
};

} // namespace cantova::ui::qt
