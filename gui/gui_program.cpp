#include "gui/gui_program.h"

#include "gui/job_table_binding.h"

#include <QApplication>
#include <QStatusBar>

namespace cantova::ui::qt {

namespace {

// The visible job list as a table of the queue.
BindingFactories JobTable(jobs::JobQueue& queue, ProgressPace& pace) {
    return {{"LstJobAudio(0)", [&queue, &pace](Control& list, QWidget& container) {
                 return std::make_unique<JobTableBinding>(dynamic_cast<ListBox&>(list), container,
                                                          queue, pace);
             }}};
}

} // namespace

GuiProgram::GuiProgram(settings::FileDialogs* dialogs, const std::string& programFolder)
    : program_({.dialogs = dialogs != nullptr ? *dialogs : qtDialogs_,
                .messages = messages_,
                .processes = processes_,
                .logViewer = logViewer_,
                .notifier = notifier_,
                .clipboard = clipboard_},
               programFolder),
      pace_(program_.queue),
      mainView_(program_.windows.frmMain, nullptr, JobTable(program_.queue, pace_)),
      panelView_(program_.windows.frmPanelAudio, &mainView_),
      commandLineMenu_(mainView_, program_, clipboard_), intakeView_(mainView_, program_.intake),
      runMenuItems_(mainView_, program_), statusBar_(*mainView_.statusBar(), program_, pace_) {
    logViewer_.setOwner(&mainView_);
    // The title shows a new percentage in the moment the table and the status line do.
    program_.runCaption.showPercentagesAtOnce(false);
    pace_.follow([this] { program_.runCaption.refresh(); });
    // Jobs do not outlive the program: a run still going is stopped and cleaned up, as Exit does.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &mainView_,
                     [this] {
                         if (program_.runner.InProgress()) {
                             program_.runner.StopAndUnload();
                         }
                         processes_.StopAllAndWait();
                     });
    QObject::connect(&mainView_, &MainWindowView::modelHidden, &mainView_, [this] {
        if (program_.windows.program.ended) {
            QApplication::quit();
        }
    });
}

void GuiProgram::show(const std::optional<std::string>& source) {
    program_.windows.frmMain.show();
    if (source) {
        program_.sources.Select(*source);
    }
}

} // namespace cantova::ui::qt
