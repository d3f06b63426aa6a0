// The Start action: records the job list in a job file, runs every job's
// transcoder command one after the other with that job's own settings, cleans
// up and shows the transcoder log.

#include "cmdline/argument_quoting.h"
#include "cmdline/channel_flag.h"
#include "cmdline/job_command.h"
#include "jobs/command_line.h"
#include "jobs/job_file.h"
#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "jobs/job_record.h"
#include "jobs/output_lines.h"
#include "jobs/process_launcher.h"
#include "settings/audio_profile.h"
#include "settings/paths.h"
#include "ui/control_properties.h"
#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

namespace {

constexpr const char* kErrorCaption = "Error";

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += "\n" + line;
    }
    return joined;
}

} // namespace

std::vector<std::string> MainWindow::OutputsTheRunWouldReplace() const {
    std::vector<std::string> outputs;
    for (int i = 0; i < LstJobAudio(1).listCount(); ++i) {
        for (const std::string& file :
             jobs::JobOutputFiles(jobs::ParseJobRecord(LstJobAudio(1).list(i)))) {
            outputs.push_back(file);
        }
    }
    return jobs::ExistingPaths(outputs);
}

void MainWindow::cmdStartEncode_Click() {
    if (run_.inProgress) {
        return;
    }
    MessageBoxes& messages = windows_.services.messages;
    if (LstJobAudio(0).listCount() == 0) {
        messages.Show("The job list is empty: add a job with \"Add Stream\" first.", kErrorCaption,
                      MessageIcon::Exclamation);
        return;
    }
    // A Start that runs nothing leaves every job of the list not started.
    const auto refuse = [&](const std::string& text) {
        run_ = RunState{};
        run_.unfinishedJobs = LstJobAudio(0).listCount();
        if (!text.empty()) {
            messages.Show("Nothing was run: " + text, kErrorCaption, MessageIcon::Exclamation);
        }
    };
    if (const std::string problem = cmdline::ProgramWordProblem(windows_.program.TranscoderPath);
        !problem.empty()) {
        refuse(problem + ".");
        return;
    }
    if (const std::vector<std::string> replaced = OutputsTheRunWouldReplace();
        !replaced.empty() && !messages.Ask("These files exist and the run would replace them:" +
                                               JoinLines(replaced) + "\nReplace them?",
                                           "Replace Files")) {
        refuse("");
        return;
    }
    const std::string jobFileName = jobs::JobFileName(TxtStreamAudio.text());
    const std::optional<std::string> jobFile = jobs::WriteJobFile(*this, jobFileName);
    if (!jobFile) {
        refuse("the job file \"" + jobFileName +
               "\" could not be written (or every name made from it is taken).");
        return;
    }
    LstJobFile(0).addItem("Job " + std::to_string(LstJobFile(0).listCount() + 1));
    LstJobFile(1).addItem(*jobFile);

    const std::string log = settings::TranscoderLogPath();
    windows_.services.logFiles.RemoveOld(log);

    beginRun();
    RunJobList();
    // The settings files are also removed from the records, in case the job file could not hold
    // them all.
    for (int i = 0; i < LstJobAudio(1).listCount(); ++i) {
        settings::DeleteFile(jobs::ParseJobRecord(LstJobAudio(1).list(i)).settingsFile);
    }
    RemoveJob(0);
    LstJobAudio(0).clear();
    LstJobAudio(1).clear();
    endRun();

    if (!run_.problems.empty()) {
        messages.Show("Not every job ran as it should:" + JoinLines(run_.problems), "Job Report",
                      MessageIcon::Exclamation);
    }
    if (run_.unloadWhenDone) {
        Form_Unload();
        return;
    }
    if (windows_.services.logFiles.Exists(log)) {
        windows_.services.logViewer.ShowLog(log);
    } else {
        messages.Show("No Log File Found", "Not Found", MessageIcon::Exclamation);
    }
}

void MainWindow::RunJobList() {
    const int count = LstJobAudio(0).listCount();
    const std::string log = settings::TranscoderLogPath();
    for (int i = 0; i < count; ++i) {
        const std::string job =
            "Job " + std::to_string(i + 1) + " (" + LstJobAudio(0).list(i) + ")";
        if (run_.stopRequested) {
            ++run_.unfinishedJobs; // never started
            continue;
        }
        showRunStatus(i + 1, count);
        const auto unfinished = [&](const std::string& why) {
            run_.problems.push_back(job + ": " + why);
            ++run_.unfinishedJobs;
        };
        const jobs::JobRecord record = jobs::ParseJobRecord(LstJobAudio(1).list(i));
        if (!settings::FileExist(record.settingsFile)) {
            unfinished("skipped, its settings file is missing");
            continue;
        }
        const settings::AudioProfileLoad load =
            settings::LoadAudioProfile(windows_, record.settingsFile);
        if (!load.readable) {
            unfinished("skipped, its settings file could not be read: " + load.problem);
            continue;
        }
        if (!load.skippedKeys.empty()) {
            run_.problems.push_back(job + ": settings not restored: " + JoinKeys(load.skippedKeys));
        }
        if (!load.jobKind) {
            unfinished("skipped, its settings file has no job kind");
            continue;
        }
        const std::optional<int> copyMarker = ParseDecimal(record.copyMarker);
        if (!copyMarker) {
            unfinished("skipped, its copy marker is not a number");
            continue;
        }
        if (*copyMarker == 1) {
            continue;
        }
        // The channel flag of a WAV job follows the job's own stored mode, restored just now.
        std::string output = record.outputArgument;
        if (OptAudioCodec[3].value()) {
            output += cmdline::ChannelFlag(windows_);
        }
        const std::string command =
            cmdline::BuildJobCommand(windows_, *load.jobKind, record.source, output);
        const std::uintmax_t logOffset = jobs::FileSizeOrZero(log);
        const jobs::LaunchResult result =
            windows_.services.processes.ShellAndWait(command, [&](std::string_view line) {
                if (const std::optional<int> percent = jobs::ParseProgressLine(line)) {
                    showRunStatus(i + 1, count, percent);
                }
            });
        if (!result.started) {
            unfinished("the transcoder could not be started (looked for " +
                       jobs::SplitCommandLine(command).front() + ")");
        } else if (result.stopped) {
            run_.stopRequested = true;
            unfinished("stopped before it finished");
        } else if (result.signal != 0) {
            unfinished("the transcoder crashed (signal " + std::to_string(result.signal) + ")");
        } else if (result.exitStatus != 0) {
            const std::string reason = jobs::FailureReason(log, logOffset, result.errorOutput);
            unfinished("the transcoder failed (exit status " + std::to_string(result.exitStatus) +
                       ")" + (reason.empty() ? "" : ": " + reason));
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
