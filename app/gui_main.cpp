// The GUI: both window models with Qt views, started as the program's load
// step starts them, ending when the main window is unloaded.

#include "jobs/library_loader.h"
#include "ui/qt/log_viewer_dialog.h"
#include "ui/qt/main_window_view.h"
#include "ui/qt/panel_view.h"
#include "ui/qt/qt_file_dialogs.h"
#include "ui/qt/qt_message_boxes.h"
#include "ui/qt/qt_process_launcher.h"
#include "ui/windows.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The forms are laid out for an 8.25 pt font.
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    cantova::ui::qt::QtFileDialogs dialogs;
    cantova::ui::qt::QtMessageBoxes messages;
    cantova::ui::qt::QtProcessLauncher processes;
    cantova::ui::qt::LogViewerDialog logViewer(nullptr);
    cantova::ui::Services services{dialogs, messages, cantova::jobs::SystemLibraryLoader(),
                                   processes, logViewer};
    cantova::ui::Windows windows(services);
    windows.frmMain.Form_Load();

    cantova::ui::qt::MainWindowView mainView(windows.frmMain);
    logViewer.setOwner(&mainView);
    cantova::ui::qt::PanelView panelView(windows.frmPanelAudio, &mainView);
    QObject::connect(&mainView, &cantova::ui::qt::MainWindowView::modelHidden, &app, [&] {
        if (windows.program.ended) {
            QApplication::quit();
        }
    });
    windows.frmMain.show();
    return QApplication::exec();
}
