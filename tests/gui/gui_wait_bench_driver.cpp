// The GUI with its jobs, for scripts/bench-gui-wait.sh: chooses the source given on the command
// line through a scripted dialog, adds JOBS jobs (1 unless given), runs them all at once (Jobs at
// Once set to JOBS) with a click on Start and ends after the run. The program is the one given;
// HOME should name a scratch folder, since the transcoder log goes there.
// Not a test: it only gives the script a GUI process to measure.
//
//   gui_wait_bench_driver TRANSCODER SOURCE [JOBS]

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int jobs = argc == 4 ? std::atoi(argv[3]) : 1;
    if ((argc != 3 && argc != 4) || jobs < 1) {
        std::cerr << "usage: gui_wait_bench_driver TRANSCODER SOURCE [JOBS]\n";
        return 2;
    }
    using namespace cantova;
    settings::ScriptedFileDialogs dialogs;
    ui::qt::GuiProgram gui(&dialogs);
    app::Program& program = gui.program();
    program.windows.program.TranscoderPath = argv[1];
    program.runner.setJobsAtOnce(jobs);
    gui.show();
    // The program ends with the run, once the run has finished its work: quitting closes the
    // windows at once, which must not happen under the run's feet.
    program.queue.subscribe([&](const jobs::JobListChange&) {
        if (!program.runner.InProgress() && program.queue.count() == 0) {
            QTimer::singleShot(0, &app, &QApplication::quit);
        }
    });

    const auto click = [&](const char* name) {
        qobject_cast<QAbstractButton*>(gui.view().form().widgetOf(name))->click();
    };
    dialogs.Answer(argv[2]);
    click("CmdBrowseStream1");
    for (int i = 0; i < jobs; ++i) {
        click("CmdAddAudioJobList");
    }
    QTimer::singleShot(0, &app, [&] { click("cmdStartEncode"); });
    return QApplication::exec();
}
