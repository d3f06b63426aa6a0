// Takes the README's pictures from the program as it runs: the windows the GUI assembles, the
// transcoder given and its engines. MP3 jobs of the sources given; the Command Lines window and
// the advanced panel as they open, and the main window while the first job is past a third of
// its way. Not a test; scripts/screenshots.sh runs it under xvfb-run.
//
//   screenshot_driver FOLDER TRANSCODER SOURCE...

#include "gui/gui_program.h"
#include "picture_taking.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>

#include <iostream>
#include <string>
#include <vector>

using namespace cantova;
using test::SavePicture;

namespace {

constexpr std::string_view kTaker = "screenshot_driver";

QWidget* ShownWindow(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::cerr << "usage: screenshot_driver FOLDER TRANSCODER SOURCE...\n";
        return 2;
    }
    QApplication app(argc, argv);
    test::UseFormFont();
    const QString folder = argv[1];
    const std::vector<std::string> sources(argv + 3, argv + argc);

    ui::qt::GuiProgram gui;
    gui.windows().program.TranscoderPath = argv[2];
    gui.show(sources.front());
    ui::MainWindow& main = gui.windows().frmMain;
    main.OptAudioCodec[1].setValue(true);
    gui.program().intake.AddFilesAsJobs(sources);
    test::Settle();

    bool taken = true;
    for (QAction* menu : gui.view().menuBar()->actions()) {
        for (QAction* item :
             menu->menu() != nullptr ? menu->menu()->actions() : QList<QAction*>()) {
            if (item->objectName() == "MenuShowCommandLines") {
                item->trigger();
            }
        }
    }
    QWidget* lines = ShownWindow("CommandLines");
    taken = lines != nullptr && SavePicture(*lines, folder + "/command-lines.png", kTaker) && taken;
    if (lines != nullptr) {
        lines->close();
    }

    main.CmdAdvancedAudio.press();
    taken = SavePicture(gui.panel(), folder + "/advanced-panel.png", kTaker) && taken;
    gui.windows().frmPanelAudio.CmdCloseAudioPanel.press();

    main.cmdStartEncode.press();
    if (!test::WaitForJob(gui.program(), [](const jobs::Job& job) {
            return job.status == jobs::JobStatus::Running && job.percent >= 33;
        })) {
        std::cerr << "screenshot_driver: the run ended before a job was a third of its way\n";
        return 1;
    }
    taken = SavePicture(gui.view(), folder + "/main-window-run.png", kTaker) && taken;
    gui.program().runner.StopNow();
    test::WaitForRunEnd(gui.program());
    return taken ? 0 : 1;
}
