// Takes the README's pictures from the program as it runs: the windows the GUI assembles, the
// transcoder given and its engines. MP3 jobs of the sources given; the Command Lines window and
// the advanced panel as they open, and the main window while the first job is past a third of
// its way. Not a test; scripts/screenshots.sh runs it under xvfb-run.
//
//   screenshot_driver FOLDER TRANSCODER SOURCE...

#include "gui/gui_program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>

#include <iostream>
#include <string>
#include <vector>

using namespace cantova;

namespace {

void Settle(int milliseconds = 300) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool Save(QWidget& window, const QString& file) {
    Settle();
    if (!window.isVisible() || !window.grab().save(file)) {
        std::cerr << "screenshot_driver: could not take " << file.toStdString() << '\n';
        return false;
    }
    std::cout << file.toStdString() << '\n';
    return true;
}

QWidget* ShownWindow(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// A job past a third of its way, waited for as long as the run goes.
bool WaitForProgress(app::Program& program) {
    while (program.runner.InProgress()) {
        for (const jobs::Job& job : program.queue.jobs()) {
            if (job.status == jobs::JobStatus::Running && job.percent >= 33) {
                return true;
            }
        }
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::cerr << "usage: screenshot_driver FOLDER TRANSCODER SOURCE...\n";
        return 2;
    }
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    const QString folder = argv[1];
    const std::vector<std::string> sources(argv + 3, argv + argc);

    ui::qt::GuiProgram gui;
    gui.windows().program.TranscoderPath = argv[2];
    gui.show(sources.front());
    ui::MainWindow& main = gui.windows().frmMain;
    main.OptAudioCodec[1].setValue(true);
    gui.program().intake.AddFilesAsJobs(sources);
    Settle();

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
    taken = lines != nullptr && Save(*lines, folder + "/command-lines.png") && taken;
    if (lines != nullptr) {
        lines->close();
    }

    main.CmdAdvancedAudio.press();
    taken = Save(gui.panel(), folder + "/advanced-panel.png") && taken;
    gui.windows().frmPanelAudio.CmdCloseAudioPanel.press();

    main.cmdStartEncode.press();
    if (!WaitForProgress(gui.program())) {
        std::cerr << "screenshot_driver: the run ended before a job was a third of its way\n";
        return 1;
    }
    taken = Save(gui.view(), folder + "/main-window-run.png") && taken;
    gui.program().runner.StopNow();
    while (gui.program().runner.InProgress()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return taken ? 0 : 1;
}
