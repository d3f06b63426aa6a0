// Takes the pictures of the job table from the program as it runs: five jobs of different kinds
// (MP3 and an AC3 re-encode of a 5.1 source, both mixed down; Ogg quality with a loudness target;
// WAV from a source that is not AC3, which leaves settings out; MP3 with post-gain), while the
// third runs and once the run has ended, the main window while the WAV job is set up, and the
// loudness picture of the Ogg job. Not a test; scripts/screenshots.sh runs it under xvfb-run at a
// scale factor.
//
//   job_table_shot_driver FOLDER TRANSCODER AC3_SOURCE MPA_SOURCE

#include "gui/gui_program.h"
#include "gui/loudness_dialog.h"
#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "jobs/loudness_curves.h"
#include "picture_taking.h"
#include "ui/gain_modes.h"

#include <QApplication>
#include <QFile>
#include <QScreen>

#include <iostream>
#include <string>

using namespace cantova;
using test::SavePicture;

namespace {

constexpr std::string_view kTaker = "job_table_shot_driver";

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

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::cerr << "usage: job_table_shot_driver FOLDER TRANSCODER AC3_SOURCE MPA_SOURCE\n";
        return 2;
    }
    QApplication app(argc, argv);
    test::UseFormFont();
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
    bool taken = SavePicture(gui.view(), folder + "/wav-settings-not-applied.png", kTaker);
    Choose(main, ui::Codec::Mp3);
    ChooseRate(main, 128);
    ChooseGain(main, ui::Codec::Mp3, ui::kGainPost);
    main.CmdAddAudioJobList.press();

    // Widened by the user, as far as the screen allows, so that every column shows.
    gui.view().resize(gui.view().screen()->availableGeometry().width() - 40, gui.view().height());
    // The loudness job's curves, named while it runs; the job leaves the list when it is done.
    const int loudnessJob = gui.program().queue.at(2).number;
    std::string curvesFile;
    std::string output;
    gui.program().queue.subscribe([&](const jobs::JobListChange& change) {
        if (change.kind == jobs::JobListChange::Kind::Updated &&
            gui.program().queue.at(change.first).number == loudnessJob) {
            const jobs::Job& job = gui.program().queue.at(change.first);
            curvesFile = job.curvesFile;
            output = jobs::FileNamePart(jobs::OutputPathOf(job.outputArgument));
        }
    });
    main.cmdStartEncode.press();
    const int third = gui.program().queue.at(2).number;
    if (!test::WaitForJob(gui.program(), [third](const jobs::Job& job) {
            return job.number == third && job.status == jobs::JobStatus::Running &&
                   job.percent >= 20;
        })) {
        std::cerr << "job_table_shot_driver: the run ended before the third job was under way\n";
        return 1;
    }
    taken = SavePicture(gui.view(), folder + "/job-table-run.png", kTaker) && taken;
    test::WaitForRunEnd(gui.program());
    // The log window the run's end opens is not part of the picture.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &gui.view() && window->isVisible()) {
            window->close();
        }
    }
    taken = SavePicture(gui.view(), folder + "/job-table-done.png", kTaker) && taken;

    QFile curvesText(QString::fromStdString(curvesFile));
    std::optional<jobs::LoudnessCurves> curves;
    if (curvesText.open(QIODevice::ReadOnly)) {
        curves = jobs::ParseLoudnessCurves(curvesText.readAll().toStdString());
    }
    if (!curves) {
        std::cerr << "job_table_shot_driver: the loudness job wrote no curves that could be read ("
                  << curvesFile << ")\n";
        return 1;
    }
    auto* picture = new ui::qt::LoudnessDialog(QString::fromStdString("Loudness of " + output),
                                               std::move(*curves), &gui.view());
    picture->show();
    taken = SavePicture(*picture, folder + "/loudness-picture.png", kTaker) && taken;
    return taken ? 0 : 1;
}
