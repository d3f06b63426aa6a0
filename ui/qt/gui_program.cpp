#include "ui/qt/gui_program.h"

#include "jobs/library_loader.h"

#include <QApplication>

namespace cantova::ui::qt {

namespace {

Windows& Loaded(Windows& windows) {
    windows.frmMain.Form_Load();
    return windows;
}

} // namespace

GuiProgram::GuiProgram(settings::FileDialogs* dialogs)
    : services_{dialogs != nullptr ? *dialogs : qtDialogs_, messages_, jobs::SystemLibraryLoader(),
                processes_, logViewer_},
      windows_(services_), mainView_(Loaded(windows_).frmMain),
      panelView_(windows_.frmPanelAudio, &mainView_) {
    logViewer_.setOwner(&mainView_);
    QObject::connect(&mainView_, &MainWindowView::modelHidden, &mainView_, [this] {
        if (windows_.program.ended) {
            QApplication::quit();
        }
    });
}

void GuiProgram::show(const std::optional<std::string>& source) {
    windows_.frmMain.show();
    if (source) {
        windows_.frmMain.SelectSource(*source);
    }
}

} // namespace cantova::ui::qt
