#include "ui/qt/gui_program.h"

#include <QApplication>

namespace cantova::ui::qt {

GuiProgram::GuiProgram(settings::FileDialogs* dialogs, const std::string& programFolder)
    : program_({.dialogs = dialogs != nullptr ? *dialogs : qtDialogs_,
                .messages = messages_,
                .processes = processes_,
                .logViewer = logViewer_,
                .clipboard = clipboard_},
               programFolder),
      mainView_(program_.windows.frmMain), panelView_(program_.windows.frmPanelAudio, &mainView_),
      commandLineMenu_(mainView_, program_, clipboard_), intakeView_(mainView_, program_.intake) {
    logViewer_.setOwner(&mainView_);
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
