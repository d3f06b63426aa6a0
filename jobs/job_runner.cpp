#include "jobs/job_runner.h"

#include "jobs/loudness_curves.h"

#include "cmdline/argument_quoting.h"
#include "cmdline/command_line.h"
#include "cmdline/output_name.h"
#include "jobs/job_command_line.h"
#include "jobs/job_file.h"
#include "jobs/job_files.h"
#include "jobs/job_log_merge.h"
#include "jobs/job_outputs.h"
#include "jobs/kept_curves.h"
#include "jobs/left_files.h"
#include "settings/audio_profile.h"
#include "settings/paths.h"
#include "ui/windows.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>

namespace cantova::jobs {

namespace {

constexpr const char* kErrorCaption = "Error";

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

// A private folder for the jobs' own logs under the temporary folder; the reason when there is
// none to be had (TMPDIR names a missing folder, a file, or one that cannot be written).
std::optional<std::string> MakeJobLogFolder(std::string& problem) {
    const char* named = std::getenv("TMPDIR");
    const std::string folder = named != nullptr && *named != '\0' ? named : "/tmp";
    std::error_code code;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(code);
    if (code) {
        problem = folder + ": " + code.message();
        return std::nullopt;
    }
    std::string pattern = (temporary / "cantova-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        problem = folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return pattern;
}

// "Too many open files" as a sentence goes on: "too many open files".
std::string LowerFirst(std::string text) {
    if (!text.empty() && text.front() >= 'A' && text.front() <= 'Z') {
        text.front() = static_cast<char>(text.front() - 'A' + 'a');
    }
    return text;
}

} // namespace

JobRunner::JobRunner(ui::Windows& windows, JobQueue& queue, const RunServices& services)
    : windows_(windows), queue_(queue), services_(services) {
    // A job moved or removed may put a queued job of the run above the rows already passed.
    queueSubscription_ = queue_.subscribe([this](const JobListChange& change) {
        if (change.kind == JobListChange::Kind::Inserted ||
            change.kind == JobListChange::Kind::Removed ||
            change.kind == JobListChange::Kind::Moved) {
            scanFrom_ = 0;
        }
    });
}

JobRunner::~JobRunner() {
    queue_.unsubscribe(queueSubscription_);
}

void JobRunner::setJobsAtOnce(int jobs) {
    jobsAtOnce_ = std::max(1, jobs);
}

int JobRunner::observe(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void JobRunner::unobserve(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

bool JobRunner::transition(RunEvent event) {
    const std::optional<RunState> next = NextRunState(state_, event);
    if (!next) {
        return false;
    }
    const RunStateChange change{state_, *next};
    state_ = *next;
    // A copy, so that an observer may unsubscribe while it is told.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        observer(change);
    }
    return true;
}

void JobRunner::guarded(const std::function<void()>& action) {
    try {
        action();
        return;
    } catch (const std::exception& error) {
        services_.messages.Show(
            std::string("The run met an error it could not handle and stops: ") + error.what(),
            kErrorCaption, ui::MessageIcon::Exclamation);
    }
    if (!run_) {
        if (state_ == RunState::Starting) {
            refuse("", 0);
        }
        return;
    }
    StopNow();
    if (run_ && run_->running.empty()) {
        try {
            finishRun();
        } catch (const std::exception&) {
            // What the end of the run could not remove stays; the list is kept.
            run_.reset();
            transition(RunEvent::Finished);
        }
    }
}

void JobRunner::Start() {
    guarded([this] {
        if (state_ != RunState::Idle) {
            return;
        }
        std::vector<int> numbers;
        for (const Job& job : queue_.jobs()) {
            numbers.push_back(job.number);
        }
        run(numbers);
    });
}

void JobRunner::RetryFailed() {
    guarded([this] {
        if (state_ != RunState::Idle) {
            return;
        }
        std::vector<int> numbers;
        for (const Job& job : queue_.jobs()) {
            if (LeftForRetry(job.status)) {
                numbers.push_back(job.number);
            }
        }
        if (numbers.empty()) {
            services_.messages.Show(
                "No job failed, was stopped or was skipped, so none was run again.", kErrorCaption,
                ui::MessageIcon::Exclamation);
            return;
        }
        run(numbers);
    });
}

void JobRunner::refuse(const std::string& text, int jobs) {
    // A Start that runs nothing leaves its jobs not started.
    doneOfLastRun_ = 0;
    unfinishedOfLastRun_ = jobs;
    lastRunEndedForExit_ = false;
    transition(RunEvent::Refused);
    if (!text.empty()) {
        services_.messages.Show("Nothing was run: " + text, kErrorCaption,
                                ui::MessageIcon::Exclamation);
    }
}

void JobRunner::run(std::vector<int> numbers) {
    ui::MessageBoxes& messages = services_.messages;
    const int count = static_cast<int>(numbers.size());
    if (count == 0) {
        messages.Show("The job list is empty: add a job with \"Add Stream\" first.", kErrorCaption,
                      ui::MessageIcon::Exclamation);
        return;
    }
    transition(RunEvent::Start);
    if (const std::string problem = cmdline::ProgramWordProblem(windows_.program.TranscoderPath);
        !problem.empty()) {
        refuse(problem + ".", count);
        return;
    }
    std::vector<std::string> outputs;
    for (const int number : numbers) {
        for (const std::string& file : JobOutputFiles(queue_.at(queue_.indexOf(number)).record())) {
            outputs.push_back(file);
        }
    }
    const std::vector<std::string> replaced = ExistingPaths(outputs);
    if (replaced.empty()) {
        launch(numbers);
        return;
    }
    // The run stays in its start while the question is open; the rest of the program goes on.
    messages.Ask("These files exist and the run would replace them:" + JoinLines(replaced) +
                     "\nReplace them?",
                 "Replace Files", [this, numbers](bool yes) {
                     guarded([&] {
                         if (state_ != RunState::Starting) {
                             return;
                         }
                         if (yes) {
                             launch(numbers);
                         } else {
                             refuse("", static_cast<int>(numbers.size()));
                         }
                     });
                 });
}

void JobRunner::launch(const std::vector<int>& numbers) {
    ui::MessageBoxes& messages = services_.messages;
    const int count = static_cast<int>(numbers.size());
    std::vector<const Job*> jobs;
    for (const int number : numbers) {
        const int index = queue_.indexOf(number);
        if (index < 0) {
            refuse("a job of the run left the list before it started.", count);
            return;
        }
        jobs.push_back(&queue_.at(index));
    }
    const std::string jobFileName =
        JobFileName(windows_.frmMain.TxtStreamAudio.text(), cmdline::ChosenOutputFolder(windows_));
    const std::optional<std::string> jobFile = WriteJobFile(jobs, jobFileName);
    if (!jobFile) {
        refuse("the job file \"" + jobFileName +
                   "\" could not be written (or every name made from it is taken).",
               count);
        return;
    }
    Run started;
    started.numbers = numbers;
    started.members.insert(numbers.begin(), numbers.end());
    started.jobFile = *jobFile;
    started.log = settings::TranscoderLogPath();
    started.startedAt = std::chrono::steady_clock::now();
    if (jobsAtOnce_ > 1) {
        std::string problem;
        started.jobLogFolder = MakeJobLogFolder(problem);
        if (!started.jobLogFolder) {
            messages.Show("The jobs run one at a time: the temporary folder cannot hold their "
                          "own logs (" +
                              problem + ").",
                          "Jobs at Once", ui::MessageIcon::Exclamation);
        }
    }
    started.jobsAtOnce = started.jobLogFolder ? jobsAtOnce_ : 1;
    for (ui::Control* control : runLockedControls()) {
        started.enabledBefore.push_back(control->enabled());
        control->setEnabled(false);
    }
    run_ = std::move(started);
    scanFrom_ = 0;
    for (const int number : numbers) {
        queue_.update(number, [](Job& job) {
            job.inRun = true;
            job.status = JobStatus::Queued;
            job.percent = 0;
            job.reason.clear();
            job.sound.reset();
            job.curvesFile.clear();
            job.startedAt.reset();
            job.endedAt.reset();
        });
        run_->totalWeight += weightOf(number);
    }
    queue_.setRunFolder(run_->jobLogFolder);
    queue_.setRunJobFile(run_->jobFile);
    services_.logFiles.RemoveOld(run_->log);
    transition(RunEvent::Launched);
    startJobs();
}

double JobRunner::weightOf(int number) const {
    const int index = queue_.indexOf(number);
    return index < 0 ? 1.0 : std::max(queue_.at(index).sourceSeconds, 1.0);
}

std::optional<int> JobRunner::nextQueued() {
    const std::vector<Job>& jobs = queue_.jobs();
    for (; scanFrom_ < jobs.size(); ++scanFrom_) {
        const Job& job = jobs[scanFrom_];
        if (job.status == JobStatus::Queued && run_->members.count(job.number) != 0) {
            return job.number;
        }
    }
    return std::nullopt;
}

void JobRunner::startJobs() {
    while (state_ == RunState::Running && !run_->waitingForResources &&
           static_cast<int>(run_->running.size()) < run_->jobsAtOnce) {
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

// The job's own number, the one its settings and output files are named by.
std::string JobRunner::jobLabel(int number) const {
    const int index = queue_.indexOf(number);
    return "Job " + std::to_string(number) + " (" +
           (index >= 0 ? FileNamePart(queue_.at(index).source) : std::string()) + ")";
}

void JobRunner::keepCurvesOfJobs(const Run& ended) {
    const std::string folder = *ended.jobLogFolder + "/";
    for (const int number : ended.numbers) {
        queue_.update(number, [&](Job& job) {
            if (job.curvesFile.starts_with(folder)) {
                job.curvesFile =
                    KeepCurvesBesideLog(job.curvesFile, ended.log, OutputPathOf(job.outputArgument))
                        .value_or("");
            }
        });
    }
}

std::string JobRunner::jobLogPath(int number) const {
    if (!run_->jobLogFolder) {
        return run_->log;
    }
    return *run_->jobLogFolder + "/job" + std::to_string(number) + ".log";
}

void JobRunner::jobEnded(int number) {
    run_->endedWeight += weightOf(number);
    run_->reported.erase(number);
}

void JobRunner::unfinished(int number, JobStatus status, const std::string& why) {
    run_->problems.push_back(jobLabel(number) + ": " + why);
    jobEnded(number);
    queue_.update(number, [&](Job& job) {
        job.status = status;
        job.reason = why;
        job.endedAt = std::chrono::system_clock::now();
        // Curves are drawn of outputs that got their names: the transcoder removes those of a
        // job that did not get there, even where it had named them.
        job.curvesFile.clear();
    });
}

void JobRunner::startJob(int number) {
    if (run_->sequence.count(number) == 0) {
        run_->sequence[number] = ++run_->started;
    }
    run_->captionJob = number;
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
        jobEnded(number);
        queue_.update(number, [](Job& done) {
            done.status = JobStatus::Done;
            done.percent = 100;
        });
        return;
    }
    const std::string command =
        CommandOfRestoredJob(windows_, job, *load.jobKind, jobLogPath(number));
    run_->logOffset[number] = FileSizeOrZero(run_->log);
    if (run_->jobLogFolder &&
        std::none_of(run_->logBlocks.begin(), run_->logBlocks.end(),
                     [number](const auto& block) { return block.first == number; })) {
        run_->logBlocks.emplace_back(number, false);
    }
    ProcessEvents events;
    events.onOutputLine = [this, number](std::string_view line) {
        guarded([&] { onOutputLine(number, line); });
    };
    events.onFinished = [this, number](const LaunchResult& result) {
        guarded([&] { onFinished(number, result); });
    };
    run_->running[number] = 0; // before Start: its events never come from within it
    queue_.update(number, [](Job& running) {
        running.status = JobStatus::Running;
        running.startedAt = std::chrono::system_clock::now();
    });
    run_->running[number] = services_.processes.Start(command, std::move(events));
}

void JobRunner::onOutputLine(int number, std::string_view line) {
    if (!run_) {
        return;
    }
    if (std::optional<SoundReport> sound = ParseSoundReport(line)) {
        queue_.update(number, [&](Job& job) { job.sound = sound; });
        return;
    }
    if (std::optional<std::string> curves = ParseCurvesLine(line)) {
        queue_.update(number, [&](Job& job) { job.curvesFile = std::move(*curves); });
        return;
    }
    const std::optional<int> percent = ParseProgressLine(line);
    if (!percent) {
        return;
    }
    run_->reported.insert(number);
    queue_.setPercent(number, *percent);
}

// A start that failed for want of processes or open files is tried again when a running job has
// ended; true when the job waits for that.
bool JobRunner::retryWhenResourcesFree(int number, const LaunchResult& result) {
    if (result.started || !IsResourceShortage(result.startError) || run_->running.empty()) {
        return false;
    }
    // It keeps its place in the run: its number in "job i of n" and its log block.
    run_->waitingForResources = true;
    queue_.update(number, [](Job& job) {
        job.status = JobStatus::Queued;
        job.startedAt.reset();
    });
    scanFrom_ = 0;
    return true;
}

void JobRunner::onFinished(int number, const LaunchResult& result) {
    run_->running.erase(number);
    if (retryWhenResourcesFree(number, result)) {
        return;
    }
    run_->waitingForResources = false;
    const std::string jobLog = jobLogPath(number);
    const std::string reason =
        result.exitStatus != 0
            ? FailureReason(jobLog, run_->jobLogFolder ? 0 : run_->logOffset[number],
                            result.errorOutput)
            : std::string();
    if (!result.started) {
        const std::string program =
            cmdline::SplitCommandLine(windows_.program.TranscoderPath).front();
        unfinished(number, JobStatus::Failed,
                   IsResourceShortage(result.startError)
                       ? "could not start the transcoder: " +
                             LowerFirst(std::strerror(result.startError))
                       : "the transcoder could not be started (looked for " + program + ")");
    } else if (result.stopped) {
        // A stop the run did not ask for is a stop request to the program: the run ends as Stop
        // Now ends it, and its jobs not done stay in the list for the program's end.
        if (state_ == RunState::Running || state_ == RunState::Draining) {
            run_->forExit = true;
        }
        StopNow();
        unfinished(number, JobStatus::Stopped, "stopped before it finished");
    } else if (result.signal != 0) {
        unfinished(number, JobStatus::Failed,
                   "the transcoder crashed (signal " + std::to_string(result.signal) + ")");
    } else if (result.exitStatus != 0) {
        unfinished(number, JobStatus::Failed,
                   "the transcoder failed (exit status " + std::to_string(result.exitStatus) + ")" +
                       (reason.empty() ? "" : ": " + reason));
    } else {
        jobEnded(number);
        queue_.update(number, [](Job& job) {
            job.status = JobStatus::Done;
            job.percent = 100;
            job.endedAt = std::chrono::system_clock::now();
        });
    }
    if (const int index = queue_.indexOf(number);
        result.started && index >= 0 && queue_.at(index).status != JobStatus::Done) {
        // What a transcoder that was killed or crashed could not remove itself.
        RemovePartialOutputs(queue_.at(index));
    }
    for (auto& block : run_->logBlocks) {
        block.second = block.second || block.first == number;
    }
    addLogBlocks();
    startJobs();
}

// The blocks of the jobs that have ended, in the order the jobs started, up to the first job
// still running.
void JobRunner::addLogBlocks() {
    std::size_t added = 0;
    for (; added < run_->logBlocks.size() && run_->logBlocks[added].second; ++added) {
        const int number = run_->logBlocks[added].first;
        const std::string jobLog = jobLogPath(number);
        std::string problem;
        if (!AppendJobLog(jobLog, run_->log, problem)) {
            run_->problems.push_back(jobLabel(number) + ": " + problem);
        }
        std::error_code ignored;
        std::filesystem::remove(jobLog, ignored);
    }
    run_->logBlocks.erase(run_->logBlocks.begin(),
                          run_->logBlocks.begin() + static_cast<std::ptrdiff_t>(added));
}

void JobRunner::finishRun() {
    transition(RunEvent::NothingLeft);
    // The jobs a stopped run never came to.
    int notStarted = 0;
    for (const int number : run_->numbers) {
        const int index = queue_.indexOf(number);
        if (index >= 0 && queue_.at(index).status == JobStatus::Queued) {
            ++notStarted;
            queue_.update(number, [](Job& job) {
                job.status = JobStatus::NotStarted;
                job.reason = "not started, the run was stopped before it";
            });
        }
    }
    if (notStarted > 0) {
        run_->problems.push_back(
            std::to_string(notStarted) +
            (notStarted == 1 ? " job was not started: the run was stopped before it."
                             : " jobs were not started: the run was stopped before them."));
    }
    // A report on what went wrong also says what the jobs that were done measured.
    if (!run_->problems.empty()) {
        for (const Job& job : queue_.jobs()) {
            if (run_->members.count(job.number) != 0 && job.status == JobStatus::Done &&
                job.sound) {
                run_->problems.push_back(jobLabel(job.number) + ": done, " +
                                         SoundReportText(*job.sound));
            }
        }
    }
    Run ended = std::move(*run_);
    run_.reset();
    if (ended.jobLogFolder) {
        keepCurvesOfJobs(ended);
    }
    // Jobs that were done leave the list with their settings files; the others stay for a retry,
    // unless the program is ending, which leaves nothing to retry them.
    int done = 0;
    queue_.removeIf([&](const Job& job) {
        if (ended.members.count(job.number) == 0) {
            return false;
        }
        const bool wasDone = job.status == JobStatus::Done;
        done += wasDone ? 1 : 0;
        if (wasDone) {
            settings::DeleteFile(job.settingsFile);
            return true;
        }
        return false;
    });
    if (ended.forExit) {
        requeueForExit(ended);
    }
    doneOfLastRun_ = done;
    unfinishedOfLastRun_ = static_cast<int>(ended.numbers.size()) - done;
    lastRunEndedForExit_ = ended.forExit;
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
    transition(RunEvent::Finished);

    if (ended.quietEnd) {
        return;
    }
    if (!ended.problems.empty()) {
        services_.messages.Show("Not every job ran as it should:" + JoinLines(ended.problems),
                                "Job Report", ui::MessageIcon::Exclamation);
    }
    if (services_.logFiles.Exists(ended.log)) {
        services_.logViewer.ShowLog(ended.log);
    } else {
        services_.messages.Show("No Log File Found", "Not Found", ui::MessageIcon::Exclamation);
    }
}

void JobRunner::StopNow() {
    if (!transition(RunEvent::StopNow)) {
        return;
    }
    for (const auto& [number, process] : run_->running) {
        services_.processes.Terminate(process);
    }
}

void JobRunner::StopAfterCurrent() {
    transition(RunEvent::StopAfterCurrent);
}

void JobRunner::StopForExit() {
    if (!run_) {
        if (state_ == RunState::Starting) {
            refuse("", 0); // the question about replacing files is answered later, in vain
        }
        return;
    }
    run_->forExit = true;
    run_->quietEnd = true;
    StopNow();
}

void JobRunner::requeueForExit(const Run& ended) {
    for (const int number : ended.numbers) {
        const int index = queue_.indexOf(number);
        if (index < 0) {
            continue;
        }
        const JobStatus status = queue_.at(index).status;
        if (status == JobStatus::Stopped || status == JobStatus::NotStarted) {
            queue_.update(number, [](Job& job) {
                job.status = JobStatus::Queued;
                job.reason.clear();
                job.percent = 0;
                job.startedAt.reset();
                job.endedAt.reset();
            });
        }
    }
}

RunProgress JobRunner::progress() const {
    RunProgress progress;
    if (!run_) {
        return progress;
    }
    progress.jobCount = static_cast<int>(run_->numbers.size());
    progress.jobsAtOnce = run_->jobsAtOnce;
    double reached = run_->endedWeight;
    for (const auto& [number, process] : run_->running) {
        const int index = queue_.indexOf(number);
        if (index >= 0) {
            reached += weightOf(number) * queue_.at(index).percent / 100.0;
        }
    }
    if (run_->captionJob) {
        progress.jobSequence = run_->sequence.at(*run_->captionJob);
        if (run_->running.count(*run_->captionJob) != 0) {
            progress.runningJob = run_->captionJob;
            if (run_->reported.count(*run_->captionJob) != 0) {
                progress.jobPercent = queue_.at(queue_.indexOf(*run_->captionJob)).percent;
            }
        }
    }
    const double fraction = run_->totalWeight > 0 ? reached / run_->totalWeight : 0;
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

std::vector<ui::Control*> JobRunner::runLockedControls() {
    ui::MainWindow& w = windows_.frmMain;
    return {&w.CmdBrowseStream1, &w.CmdAddAudioJobList, &w.CmdClipboard,  &w.CmdDelAudioJobList,
            &w.cmdStartEncode,   &w.MenuPrfAudioLoad,   &w.CmbSourceTrack};
}

} // namespace cantova::jobs
