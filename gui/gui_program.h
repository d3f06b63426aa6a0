#pragma once

// The GUI as the program assembles it: the program's windows and parts with Qt views, and the
// platform services behind message boxes, dialogs, child processes, the log viewer and the
// desktop notification. The job list shows as a table of the job queue, the Jobs menu steers the
// run, and the status line shows the selected job's command line and the run's progress. The
// application's event loop ends when the main window has been unloaded.

#include "app/program.h"
#include "gui/command_line_menu.h"
#include "gui/desktop_notifier.h"
#include "gui/file_intake_view.h"
#include "gui/log_viewer_dialog.h"
#include "gui/main_window_view.h"
#include "gui/panel_view.h"
#include "gui/progress_pace.h"
#include "gui/qt_clipboard.h"
#include "gui/qt_file_dialogs.h"
#include "gui/qt_message_boxes.h"
#include "gui/qt_process_launcher.h"
#include "gui/remembered_settings.h"
#include "gui/run_menu_items.h"
#include "gui/run_status_bar.h"
#include "gui/saved_jobs_questions.h"
#include "settings/file_dialogs.h"

#include <optional>
#include <string>

namespace cantova::ui::qt {

class GuiProgram {
public:
    // dialogs stands in for the file dialogs when given (tests answer them from a script); the
    // transcoder is looked for below programFolder when one is given. With a state folder the
    // job list is kept there while the program runs, and jobs left at the end stay for the next
    // start unless Exit's question discarded them. With a settings file the window's settings are
    // loaded from it at start and kept in it at the end.
    explicit GuiProgram(settings::FileDialogs* dialogs = nullptr,
                        const std::string& programFolder = {}, const std::string& stateFolder = {},
                        const std::string& settingsFile = {});
    GuiProgram(const GuiProgram&) = delete;
    GuiProgram& operator=(const GuiProgram&) = delete;

    // Shows the main window, with a notice beside it when engines of the transcoder are missing;
    // a source given is then selected as a choice in the source dialog would select it. Jobs that
    // an earlier session left are offered back.
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
    QtExitQuestion exitQuestion_{nullptr};
    app::Program program_;
    ProgressPace pace_;
    MainWindowView mainView_;
    PanelView panelView_;
    CommandLineMenu commandLineMenu_;
    FileIntakeView intakeView_;
    RunMenuItems runMenuItems_;
    RunStatusBar statusBar_;
    std::optional<RememberedSettings> remembered_;
};

} // namespace cantova::ui::qt
