// The GUI with one job, for scripts/bench-gui-wait.sh: chooses the source given on the command
// line through a scripted dialog, adds one job, clicks Start and ends after the run. The program
// is the one given; HOME should name a scratch folder, since the transcoder log goes there.
// Not a test: it only gives the script a GUI process to measure.
//
//   gui_wait_bench_driver TRANSCODER SOURCE

#include "app/program.h"
#include "settings/file_dialogs.h"
#include "tests/gui/printed_messages.h"
#include "ui/qt/main_window_view.h"
#include "ui/qt/panel_view.h"
#include "ui/qt/qt_process_launcher.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <iostream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: gui_wait_bench_driver TRANSCODER SOURCE\n";
        return 2;
    }
    using namespace cantova;
    settings::ScriptedFileDialogs dialogs;
    ui::PrintedMessages messages;
    ui::qt::QtProcessLauncher processes;
    app::Program program({dialogs, messages, processes});
    ui::Windows& windows = program.windows;
    windows.program.TranscoderPath = argv[1];
    ui::qt::MainWindowView view(windows.frmMain);
    ui::qt::PanelView panel(windows.frmPanelAudio, &view);
    windows.frmMain.show();
    // The program ends with the run.
    program.queue.subscribe([&] {
        if (!program.runner.InProgress() && program.queue.count() == 0) {
            QApplication::quit();
        }
    });

    const auto click = [&](const char* name) {
        qobject_cast<QAbstractButton*>(view.form().widgetOf(name))->click();
    };
    dialogs.Answer(argv[2]);
    click("CmdBrowseStream1");
    click("CmdAddAudioJobList");
    QTimer::singleShot(0, &app, [&] { click("cmdStartEncode"); });
    return QApplication::exec();
}
