#include "ui/qt/gui_program.h"

#include "ui/qt/job_table_binding.h"

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>

namespace cantova::ui::qt {

namespace {

// The visible job list as a table of the queue.
BindingFactories JobTable(jobs::JobQueue& queue) {
    return {{"LstJobAudio(0)", [&queue](Control& list, QWidget& container) {
                 return std::make_unique<JobTableBinding>(dynamic_cast<ListBox&>(list), container,
                                                          queue);
             }}};
}

} // namespace

GuiProgram::GuiProgram(settings::FileDialogs* dialogs, const std::string& programFolder)
    : program_({dialogs != nullptr ? *dialogs : qtDialogs_, messages_, processes_,
                jobs::SystemLibraryLoader(), logViewer_, jobs::SystemTranscoderLogFiles(),
                notifier_},
               programFolder),
      mainView_(program_.windows.frmMain, nullptr, JobTable(program_.queue)),
      panelView_(program_.windows.frmPanelAudio, &mainView_),
      jobsMenu_(*mainView_.menuBar(), program_), statusBar_(*mainView_.statusBar(), program_) {
    logViewer_.setOwner(&mainView_);
    // Jobs do not outlive the program: a run still going is stopped and cleaned up, as Exit does.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &mainView_, [this] {
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

void GuiProgram::show() {
    program_.windows.frmMain.show();
}

} // namespace cantova::ui::qt
