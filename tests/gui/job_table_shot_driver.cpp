// Takes the pictures of the job table from the program as it runs: five jobs of different kinds
// (MP3 and an AC3 re-encode of a 5.1 source, both mixed down; Ogg quality with a loudness target;
// WAV from a source that is not AC3, which leaves settings out; MP3 with post-gain), while the
// third runs and once the run has ended, and the main window while the WAV job is set up. Not a
// test; scripts/screenshots.sh runs it under xvfb-run at a scale factor.
//
//   job_table_shot_driver FOLDER TRANSCODER AC3_SOURCE MPA_SOURCE

#include "gui/gui_program.h"
#include "ui/gain_modes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>

#include <iostream>
#include <string>

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
        std::cerr << "job_table_shot_driver: could not take " << file.toStdString() << '\n';
        return false;
    }
    std::cout << file.toStdString() << '\n';
    return true;
}

void ChooseRate(ui::MainWindow& main, int kbps) {
    const std::vector<ui::ListItem>& items = main.CmbBitrateAudio.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].text.starts_with(std::to_string(kbps) + " ")) {
            main.CmbBitrateAudio.setListIndex(static_cast<int>(i));
        }
    }
}

void ChooseGain(ui::MainWindow& main, ui::Codec codec, int mode) {
    main.CmbGainMode.setListIndex(ui::GainModePosition(codec, mode).value_or(0));
}

void Choose(ui::MainWindow& main, ui::Codec codec) {
    main.OptAudioCodec[static_cast<int>(codec)].setValue(true);
}

// The job at row index running past a fifth of its way, waited for as long as the run goes.
bool WaitForRunning(app::Program& program, int index) {
    while (program.runner.InProgress()) {
        const jobs::Job& job = program.queue.at(index);
        if (job.status == jobs::JobStatus::Running && job.percent >= 20) {
            return true;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::cerr << "usage: job_table_shot_driver FOLDER TRANSCODER AC3_SOURCE MPA_SOURCE\n";
        return 2;
    }
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    const QString folder = argv[1];

    ui::qt::GuiProgram gui;
    gui.windows().program.TranscoderPath = argv[2];
    gui.show(std::string(argv[3]));
    ui::MainWindow& main = gui.windows().frmMain;

    Choose(main, ui::Codec::Mp3);
    ChooseRate(main, 192);
    main.CmdAddAudioJobList.press();
    Choose(main, ui::Codec::Ac3);
    main.ChkAC3Reencode.setValue(1);
    ChooseRate(main, 448);
    main.CmdAddAudioJobList.press();
    Choose(main, ui::Codec::Ogg);
    main.CmbOGGMode.setListIndex(1);
    ChooseRate(main, 160);
    ChooseGain(main, ui::Codec::Ogg, ui::kGainLoudness);
    main.TxtLoudnessTarget.setText("-16");
    main.CmdAddAudioJobList.press();
    gui.program().sources.Select(argv[4]);
    Choose(main, ui::Codec::Wav);
    main.CmdAddAudioJobList.press();
    bool taken = Save(gui.view(), folder + "/wav-settings-not-applied.png");
    Choose(main, ui::Codec::Mp3);
    ChooseRate(main, 128);
    ChooseGain(main, ui::Codec::Mp3, ui::kGainPost);
    main.CmdAddAudioJobList.press();

    // Widened by the user, as far as the screen allows, so that every column shows.
    gui.view().resize(gui.view().screen()->availableGeometry().width() - 40, gui.view().height());
    main.cmdStartEncode.press();
    if (!WaitForRunning(gui.program(), 2)) {
        std::cerr << "job_table_shot_driver: the run ended before the third job was under way\n";
        return 1;
    }
    taken = Save(gui.view(), folder + "/job-table-run.png") && taken;
    while (gui.program().runner.InProgress()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // The log window the run's end opens is not part of the picture.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &gui.view() && window->isVisible()) {
            window->close();
        }
    }
    taken = Save(gui.view(), folder + "/job-table-done.png") && taken;
    return taken ? 0 : 1;
}
