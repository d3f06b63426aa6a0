// The Start action: records the job list in a job file, runs every job's
// transcoder command one after the other with that job's own settings, cleans
// up and shows the transcoder log.

#include "cmdline/channel_flag.h"
#include "cmdline/job_command.h"
#include "jobs/job_file.h"
#include "jobs/job_files.h"
#include "jobs/job_record.h"
#include "jobs/output_lines.h"
#include "jobs/process_launcher.h"
#include "settings/audio_profile.h"
#include "settings/ini_file.h"
#include "settings/paths.h"
#include "ui/control_properties.h"
#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

void MainWindow::cmdStartEncode_Click() {
    if (run_.inProgress) {
        return;
    }
    const std::string jobFile = jobs::JobFileName(TxtStreamAudio.text());
    LstJobFile(0).addItem("Job " + std::to_string(LstJobFile(0).listCount() + 1));
    LstJobFile(1).addItem(jobFile);
    jobs::WriteJobFile(*this, jobFile);

    const std::string log = settings::TranscoderLogPath();
    if (settings::FileExist(log)) {
        settings::DeleteFile(log);
    }

    beginRun();
    RunJobList();
    // The settings files are also removed from the records, in case the job file could not be
    // written.
    for (int i = 0; i < LstJobAudio(1).listCount(); ++i) {
        settings::DeleteFile(jobs::ParseJobRecord(LstJobAudio(1).list(i)).settingsFile);
    }
    RemoveJob(0);
    LstJobAudio(0).clear();
    LstJobAudio(1).clear();
    endRun();

    MessageBoxes& messages = windows_.services.messages;
    if (!run_.problems.empty()) {
        std::string text = "Not every job ran as it should:";
        for (const std::string& problem : run_.problems) {
            text += "\n" + problem;
        }
        messages.Show(text, "Job Report", MessageIcon::Exclamation);
    }
    if (run_.unloadWhenDone) {
        Form_Unload();
        return;
    }
    if (settings::FileExist(log)) {
        windows_.services.logViewer.ShowLog(log);
    } else {
        messages.Show("No Log File Found", "Not Found", MessageIcon::Exclamation);
    }
}

void MainWindow::RunJobList() {
    const std::string channelFlag = cmdline::ChannelFlag(windows_);
    const int count = LstJobAudio(0).listCount();
    for (int i = 0; i < count && !run_.stopRequested; ++i) {
        showRunStatus(i + 1, count);
        const std::string job =
            "Job " + std::to_string(i + 1) + " (" + LstJobAudio(0).list(i) + ")";
        const jobs::JobRecord record = jobs::ParseJobRecord(LstJobAudio(1).list(i));
        if (!settings::FileExist(record.settingsFile)) {
            run_.problems.push_back(job + ": skipped, its settings file is missing");
            continue;
        }
        const std::vector<std::string> skippedKeys =
            settings::LoadAudioProfile(windows_, record.settingsFile).skippedKeys;
        if (!skippedKeys.empty()) {
            run_.problems.push_back(job + ": settings not restored: " + JoinKeys(skippedKeys));
        }
        const std::optional<int> kind =
            ParseDecimal(settings::ReadIniValue("SETTING", "Panel", record.settingsFile));
        if (!kind) {
            run_.problems.push_back(job + ": skipped, its settings file has no job kind");
            continue;
        }
        std::string output = record.outputArgument;
        if (OptAudioCodec[3].value()) {
            output += channelFlag;
        }
        const std::optional<int> copyMarker = ParseDecimal(record.copyMarker);
        if (!copyMarker) {
            run_.problems.push_back(job + ": skipped, its copy marker is not a number");
            continue;
        }
        if (*copyMarker == 1) {
            continue;
        }
        const std::string command =
            cmdline::BuildJobCommand(windows_, *kind, record.source, output);
        const jobs::LaunchResult result =
            windows_.services.processes.ShellAndWait(command, [&](std::string_view line) {
                if (const std::optional<int> percent = jobs::ParseProgressLine(line)) {
                    showRunStatus(i + 1, count, percent);
                }
            });
        if (!result.started) {
            run_.problems.push_back(job + ": the transcoder could not be started");
        } else if (result.stopped) {
            run_.stopRequested = true;
            run_.problems.push_back(job + ": stopped before it finished");
        } else if (result.exitStatus != 0) {
            run_.problems.push_back(job + ": the transcoder failed (exit status " +
                                    std::to_string(result.exitStatus) + ")");
        }
    }
}

std::string MainWindow::JoinKeys(const std::vector<std::string>& keys) {
    std::string joined;
    for (const std::string& key : keys) {
        joined += (joined.empty() ? "" : ", ") + key;
    }
    return joined;
}

void MainWindow::beginRun() {
    run_ = RunState{};
    run_.inProgress = true;
    for (Control* control : runLockedControls()) {
        run_.enabledBefore.push_back(control->enabled());
        control->setEnabled(false);
    }
}

void MainWindow::endRun() {
    const std::vector<Control*> locked = runLockedControls();
    for (std::size_t i = 0; i < locked.size(); ++i) {
        locked[i]->setEnabled(run_.enabledBefore[i]);
    }
    setCaption(form().caption);
    run_.inProgress = false;
}

std::vector<Control*> MainWindow::runLockedControls() {
    return {&CmdBrowseStream1, &CmdAddAudioJobList, &CmdDelAudioJobList, &cmdStartEncode,
            &MenuPrfAudioLoad};
}

void MainWindow::showRunStatus(int job, int count, std::optional<int> percent) {
    std::string status = " - job " + std::to_string(job) + " of " + std::to_string(count);
    if (percent) {
        status += " - " + std::to_string(*percent) + "%";
    }
    setCaption(form().caption + status);
}

bool MainWindow::Form_QueryUnload() {
    if (!run_.inProgress) {
        return true;
    }
    if (!windows_.services.messages.Ask("Jobs are still running. Stop the run and exit?", "Exit")) {
        return false;
    }
    run_.stopRequested = true;
    run_.unloadWhenDone = true;
    windows_.services.processes.TerminateRunning();
    return false;
}

} // namespace cantova::ui
