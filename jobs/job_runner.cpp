#include "jobs/job_runner.h"

#include "cmdline/argument_quoting.h"
#include "cmdline/command_line.h"
#include "cmdline/output_name.h"
#include "jobs/job_command_line.h"
#include "jobs/job_file.h"
#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "settings/audio_profile.h"
#include "settings/paths.h"
#include "ui/windows.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace cantova::jobs {

namespace {

constexpr const char* kErrorCaption = "Error";
// A job's own log is small; more than this is not added to the run's log.
constexpr std::streamsize kMaxJobLog = 16 * 1024 * 1024;

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += "\n" + line;
    }
    return joined;
}

std::string JoinKeys(const std::vector<std::string>& keys) {
    std::string joined;
    for (const std::string& key : keys) {
        joined += (joined.empty() ? "" : ", ") + key;
    }
    return joined;
}

// Adds the job's own log to the run's log in one write, so that its lines stay together.
void AppendWhole(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    // Read in pieces up to the cap: a buffer of the cap's size would cost a run far more than
    // the few kilobytes a job's log has.
    std::string text;
    std::array<char, 64 * 1024> piece;
    while (static_cast<std::streamsize>(text.size()) < kMaxJobLog) {
        const std::streamsize wanted = std::min<std::streamsize>(
            piece.size(), kMaxJobLog - static_cast<std::streamsize>(text.size()));
        in.read(piece.data(), wanted);
        if (in.gcount() <= 0) {
            break;
        }
        text.append(piece.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (text.empty()) {
        return;
    }
    const int fd = open(to.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = write(fd, text.data(), text.size());
        close(fd);
    }
}

std::optional<std::string> MakeJobLogFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "cantova-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return std::nullopt;
    }
    return pattern;
}

} // namespace

JobRunner::JobRunner(ui::Windows& windows, JobQueue& queue, const RunServices& services)
    : windows_(windows), queue_(queue), services_(services) {}

void JobRunner::setJobsAtOnce(int jobs) {
    jobsAtOnce_ = std::max(1, jobs);
}

void JobRunner::Start() {
    if (run_) {
        return;
    }
    std::vector<int> numbers;
    for (const Job& job : queue_.jobs()) {
        numbers.push_back(job.number);
    }
    run(numbers);
}

void JobRunner::RetryFailed() {
    if (run_) {
        return;
    }
    std::vector<int> numbers;
    for (const Job& job : queue_.jobs()) {
        if (LeftForRetry(job.status)) {
            numbers.push_back(job.number);
        }
    }
    if (numbers.empty()) {
        services_.messages.Show("No job failed, was stopped or was skipped, so none was run again.",
                                kErrorCaption, ui::MessageIcon::Exclamation);
        return;
    }
    run(numbers);
}

bool JobRunner::refused(const std::string& text, int jobs) {
    // A Start that runs nothing leaves its jobs not started.
    unfinishedOfLastRun_ = jobs;
    if (!text.empty()) {
        services_.messages.Show("Nothing was run: " + text, kErrorCaption,
                                ui::MessageIcon::Exclamation);
    }
    return false;
}

void JobRunner::run(std::vector<int> numbers) {
    ui::MessageBoxes& messages = services_.messages;
    const int count = static_cast<int>(numbers.size());
    if (count == 0) {
        messages.Show("The job list is empty: add a job with \"Add Stream\" first.", kErrorCaption,
                      ui::MessageIcon::Exclamation);
        return;
    }
    if (const std::string problem = cmdline::ProgramWordProblem(windows_.program.TranscoderPath);
        !problem.empty()) {
        refused(problem + ".", count);
        return;
    }
    std::vector<const Job*> jobs;
    std::vector<std::string> outputs;
    for (const int number : numbers) {
        jobs.push_back(&queue_.at(queue_.indexOf(number)));
        for (const std::string& file : JobOutputFiles(jobs.back()->record())) {
            outputs.push_back(file);
        }
    }
    if (const std::vector<std::string> replaced = ExistingPaths(outputs);
        !replaced.empty() && !messages.Ask("These files exist and the run would replace them:" +
                                               JoinLines(replaced) + "\nReplace them?",
                                           "Replace Files")) {
        refused("", count);
        return;
    }
    const std::string jobFileName =
        JobFileName(windows_.frmMain.TxtStreamAudio.text(), cmdline::ChosenOutputFolder(windows_));
    const std::optional<std::string> jobFile = WriteJobFile(jobs, jobFileName);
    if (!jobFile) {
        refused("the job file \"" + jobFileName +
                    "\" could not be written (or every name made from it is taken).",
                count);
        return;
    }
    Run started;
    started.numbers = numbers;
    started.jobFile = *jobFile;
    started.log = settings::TranscoderLogPath();
    started.startedAt = std::chrono::steady_clock::now();
    if (jobsAtOnce_ > 1) {
        started.jobLogFolder = MakeJobLogFolder();
    }
    for (ui::Control* control : runLockedControls()) {
        started.enabledBefore.push_back(control->enabled());
        control->setEnabled(false);
    }
    run_ = std::move(started);
    for (const int number : numbers) {
        queue_.update(number, [](Job& job) {
            job.inRun = true;
            job.status = JobStatus::Queued;
            job.percent = 0;
            job.reason.clear();
            job.startedAt.reset();
            job.endedAt.reset();
        });
    }
    queue_.setRunFolder(run_->jobLogFolder);
    queue_.setRunJobFile(run_->jobFile);
    services_.logFiles.RemoveOld(run_->log);
    startJobs();
}

std::optional<int> JobRunner::nextQueued() const {
    for (const Job& job : queue_.jobs()) {
        if (job.status == JobStatus::Queued && std::find(run_->numbers.begin(), run_->numbers.end(),
                                                         job.number) != run_->numbers.end()) {
            return job.number;
        }
    }
    return std::nullopt;
}

void JobRunner::startJobs() {
    while (!run_->stopNow && !run_->stopAfterCurrent &&
           static_cast<int>(run_->running.size()) < jobsAtOnce_) {
        const std::optional<int> next = nextQueued();
        if (!next) {
            break;
        }
        startJob(*next);
    }
    if (run_->running.empty()) {
        finishRun();
    }
}

std::string JobRunner::jobLabel(int number) const {
    const auto sequence = run_->sequence.find(number);
    const int index = queue_.indexOf(number);
    return "Job " + std::to_string(sequence != run_->sequence.end() ? sequence->second : 0) + " (" +
           (index >= 0 ? FileNamePart(queue_.at(index).source) : std::string()) + ")";
}

std::string JobRunner::jobLogPath(int number) const {
    if (!run_->jobLogFolder) {
        return run_->log;
    }
    return *run_->jobLogFolder + "/job" + std::to_string(number) + ".log";
}

void JobRunner::unfinished(int number, JobStatus status, const std::string& why) {
    run_->problems.push_back(jobLabel(number) + ": " + why);
    queue_.update(number, [&](Job& job) {
        job.status = status;
        job.reason = why;
        job.endedAt = std::chrono::system_clock::now();
    });
}

void JobRunner::startJob(int number) {
    run_->sequence[number] = ++run_->started;
    run_->captionJob = number;
    showRunStatus(number, std::nullopt);
    const Job job = queue_.at(queue_.indexOf(number));
    if (!settings::FileExist(job.settingsFile)) {
        unfinished(number, JobStatus::Skipped, "skipped, its settings file is missing");
        return;
    }
    const settings::AudioProfileLoad load = settings::LoadAudioProfile(windows_, job.settingsFile);
    if (!load.readable) {
        unfinished(number, JobStatus::Skipped,
                   "skipped, its settings file could not be read: " + load.problem);
        return;
    }
    if (!load.skippedKeys.empty()) {
        run_->problems.push_back(jobLabel(number) +
                                 ": settings not restored: " + JoinKeys(load.skippedKeys));
    }
    if (!load.jobKind) {
        unfinished(number, JobStatus::Skipped, "skipped, its settings file has no job kind");
        return;
    }
    if (job.copy) {
        queue_.update(number, [](Job& done) {
            done.status = JobStatus::Done;
            done.percent = 100;
        });
        return;
    }
    const std::string command =
        CommandOfRestoredJob(windows_, job, *load.jobKind, jobLogPath(number));
    queue_.update(number, [](Job& running) {
        running.status = JobStatus::Running;
        running.startedAt = std::chrono::system_clock::now();
    });
    run_->logOffset[number] = FileSizeOrZero(run_->log);
    ProcessEvents events;
    events.onOutputLine = [this, number](std::string_view line) { onOutputLine(number, line); };
    events.onFinished = [this, number](const LaunchResult& result) { onFinished(number, result); };
    run_->running[number] = 0; // before Start: its events never come from within it
    run_->running[number] = services_.processes.Start(command, std::move(events));
}

void JobRunner::onOutputLine(int number, std::string_view line) {
    const std::optional<int> percent = ParseProgressLine(line);
    if (!percent) {
        return;
    }
    queue_.update(number, [&](Job& job) { job.percent = *percent; });
    if (run_->captionJob == number) {
        showRunStatus(number, percent);
    }
}

void JobRunner::onFinished(int number, const LaunchResult& result) {
    run_->running.erase(number);
    const std::string jobLog = jobLogPath(number);
    const std::string reason =
        result.exitStatus != 0
            ? FailureReason(jobLog, run_->jobLogFolder ? 0 : run_->logOffset[number],
                            result.errorOutput)
            : std::string();
    if (run_->jobLogFolder) {
        AppendWhole(jobLog, run_->log);
        std::error_code ignored;
        std::filesystem::remove(jobLog, ignored);
    }
    if (!result.started) {
        unfinished(number, JobStatus::Failed,
                   "the transcoder could not be started (looked for " +
                       cmdline::SplitCommandLine(windows_.program.TranscoderPath).front() + ")");
    } else if (result.stopped) {
        run_->stopNow = true;
        unfinished(number, JobStatus::Stopped, "stopped before it finished");
    } else if (result.signal != 0) {
        unfinished(number, JobStatus::Failed,
                   "the transcoder crashed (signal " + std::to_string(result.signal) + ")");
    } else if (result.exitStatus != 0) {
        unfinished(number, JobStatus::Failed,
                   "the transcoder failed (exit status " + std::to_string(result.exitStatus) + ")" +
                       (reason.empty() ? "" : ": " + reason));
    } else {
        queue_.update(number, [](Job& job) {
            job.status = JobStatus::Done;
            job.percent = 100;
            job.endedAt = std::chrono::system_clock::now();
        });
    }
    startJobs();
}

void JobRunner::finishRun() {
    Run ended = std::move(*run_);
    run_.reset();
    // Jobs that were done leave the list with their settings files; the others stay for a retry,
    // unless the program is ending, which leaves nothing to retry them.
    int done = 0;
    for (const int number : ended.numbers) {
        const int index = queue_.indexOf(number);
        if (index < 0) {
            continue;
        }
        const bool wasDone = queue_.at(index).status == JobStatus::Done;
        done += wasDone ? 1 : 0;
        if (wasDone || ended.unloadWhenDone) {
            settings::DeleteFile(queue_.at(index).settingsFile);
            queue_.remove(index);
        }
    }
    unfinishedOfLastRun_ = static_cast<int>(ended.numbers.size()) - done;
    settings::DeleteFile(ended.jobFile);
    queue_.setRunJobFile(std::nullopt);
    queue_.setRunFolder(std::nullopt);
    if (ended.jobLogFolder) {
        std::error_code ignored;
        std::filesystem::remove_all(*ended.jobLogFolder, ignored);
    }
    const std::vector<ui::Control*> locked = runLockedControls();
    for (std::size_t i = 0; i < locked.size(); ++i) {
        locked[i]->setEnabled(ended.enabledBefore[i]);
    }
    windows_.frmMain.setCaption(windows_.frmMain.form().caption);

    if (!ended.problems.empty()) {
        services_.messages.Show("Not every job ran as it should:" + JoinLines(ended.problems),
                                "Job Report", ui::MessageIcon::Exclamation);
    }
    services_.notifier.RunEnded(done, unfinishedOfLastRun_);
    if (ended.unloadWhenDone) {
        windows_.frmMain.Form_Unload();
        return;
    }
    if (services_.logFiles.Exists(ended.log)) {
        services_.logViewer.ShowLog(ended.log);
    } else {
        services_.messages.Show("No Log File Found", "Not Found", ui::MessageIcon::Exclamation);
    }
}

void JobRunner::StopNow() {
    if (!run_) {
        return;
    }
    run_->stopNow = true;
    for (const auto& [number, process] : run_->running) {
        services_.processes.Terminate(process);
    }
}

void JobRunner::StopAfterCurrent() {
    if (run_) {
        run_->stopAfterCurrent = true;
    }
}

void JobRunner::StopAndUnload() {
    if (!run_) {
        windows_.frmMain.Form_Unload();
        return;
    }
    run_->unloadWhenDone = true;
    StopNow();
}

RunProgress JobRunner::progress() const {
    RunProgress progress;
    if (!run_) {
        return progress;
    }
    double total = 0;
    double reached = 0;
    for (const int number : run_->numbers) {
        const int index = queue_.indexOf(number);
        if (index < 0) {
            continue;
        }
        const Job& job = queue_.at(index);
        const double weight = std::max(job.sourceSeconds, 1.0);
        total += weight;
        if (job.status == JobStatus::Running) {
            reached += weight * job.percent / 100.0;
        } else if (job.status != JobStatus::Queued) {
            reached += weight;
        }
    }
    if (run_->captionJob && run_->running.count(*run_->captionJob) != 0) {
        progress.runningJob = run_->captionJob;
        progress.jobPercent = queue_.at(queue_.indexOf(*run_->captionJob)).percent;
    }
    const double fraction = total > 0 ? reached / total : 0;
    progress.runPercent = static_cast<int>(fraction * 100);
    // Too early a guess says nothing useful.
    if (fraction >= 0.01) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - run_->startedAt)
                .count();
        progress.timeLeft =
            std::chrono::seconds(static_cast<long long>(elapsed * (1 - fraction) / fraction));
    }
    return progress;
}

void JobRunner::showRunStatus(int number, std::optional<int> percent) {
    std::string status = " - job " + std::to_string(run_->sequence[number]) + " of " +
                         std::to_string(run_->numbers.size());
    if (percent) {
        status += " - " + std::to_string(*percent) + "%";
    }
    windows_.frmMain.setCaption(windows_.frmMain.form().caption + status);
}

std::vector<ui::Control*> JobRunner::runLockedControls() {
    ui::MainWindow& w = windows_.frmMain;
    return {&w.CmdBrowseStream1,   &w.CmdAddAudioJobList, &w.CmdClipboard,
            &w.CmdDelAudioJobList, &w.cmdStartEncode,     &w.MenuPrfAudioLoad};
}

} // namespace cantova::jobs
