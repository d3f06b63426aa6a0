#include "ui/qt/gui_program.h"

#include <QApplication>

namespace cantova::ui::qt {

GuiProgram::GuiProgram(settings::FileDialogs* dialogs, const std::string& programFolder)
    : program_({dialogs != nullptr ? *dialogs : qtDialogs_, messages_, processes_,
                jobs::SystemLibraryLoader(), logViewer_},
               programFolder),
      mainView_(program_.windows.frmMain), panelView_(program_.windows.frmPanelAudio, &mainView_),
      intakeView_(mainView_, program_.intake) {
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
