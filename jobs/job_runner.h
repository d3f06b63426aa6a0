#pragma once

// The run: the Start action's checks and files, then one job after the other (or several at once)
// through the process launcher, driven by its events: a job's settings are restored into both
// windows and its command is built when it starts, and the next job starts when a process ends.
// At the end the jobs that were done leave the list with their files, the others stay with their
// status for a retry, and the transcoder log is shown.
//
// The run moves between the states of run_state.h through one transition function, which tells
// the observers (window title, job table, status line, menus, notification) the old state and the
// new; the runner itself shows nothing of its state.

#include "jobs/job_queue.h"
#include "jobs/process_launcher.h"
#include "jobs/run_services.h"
#include "jobs/run_state.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace cantova::ui {
struct Windows;
class Control;
} // namespace cantova::ui

namespace cantova::jobs {

struct RunServices {
    ProcessLauncher& processes;
    ui::MessageBoxes& messages;
    LogViewer& logViewer;
    TranscoderLogFiles& logFiles;
};

// How far a run has come, weighed by the jobs' source durations.
struct RunProgress {
    // The most recently started job that still runs, its "i" of "job i of n", and its percentage
    // once the transcoder has reported one.
    std::optional<int> runningJob;
    int jobSequence = 0;
    std::optional<int> jobPercent;
    int jobCount = 0;
    // How many jobs run at once at most.
    int jobsAtOnce = 1;
    int runPercent = 0;
    std::optional<std::chrono::seconds> timeLeft;
};

// One move of the run from a state to another.
struct RunStateChange {
    RunState from;
    RunState to;
};

class JobRunner : public ui::RunPort {
public:
    using Observer = std::function<void(const RunStateChange&)>;

    JobRunner(ui::Windows& windows, JobQueue& queue, const RunServices& services);
    ~JobRunner() override;
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Runs every job of the list.
    void Start() override;
    // Runs the jobs of the list that failed, were stopped, skipped or not started.
    void RetryFailed();
    bool InProgress() const override { return RunInProgress(state_); }
    // Ends the running transcoders; the run ends when they have.
    void StopNow();
    // Ends the run as Stop Now does, because the program is to end: when the run has ended, the
    // jobs it stopped or never came to are queued again and stay in the list (to be kept for the
    // next start or discarded), and neither the report nor the log is shown. A start still asking
    // whether to replace files is given up at once.
    void StopForExit();
    // Lets the running jobs finish and starts no other.
    void StopAfterCurrent();

    RunState state() const { return state_; }
    // Observers hear of every change of state, after it; the returned id unsubscribes.
    int observe(Observer observer);
    void unobserve(int id);

    int jobsAtOnce() const { return jobsAtOnce_; }
    // 1 (the default) runs one job at a time; more run at once, each command still built in turn.
    void setJobsAtOnce(int jobs);

    // Jobs of the last Start or retry that were done, and those that were skipped, not started,
    // stopped or failed.
    int doneJobsOfLastRun() const { return doneOfLastRun_; }
    int unfinishedJobsOfLastRun() const { return unfinishedOfLastRun_; }
    // Whether the last run ended for the program's end: by StopForExit, or by a stop request to
    // the program (a transcoder ending as stopped that the run did not stop).
    bool lastRunEndedForExit() const { return lastRunEndedForExit_; }
    RunProgress progress() const;

private:
    struct Run {
        std::vector<int> numbers;        // the run's jobs, by number, in list order
        std::unordered_set<int> members; // the same, to look up
        int started = 0;                 // how many of them have started
        int jobsAtOnce = 1;              // as the run started (1 without per-job logs)
        std::map<int, ProcessId> running;
        std::optional<int> captionJob;           // the job the caption shows
        std::set<int> reported;                  // running jobs that reported a percentage
        std::map<int, int> sequence;             // the "i" of "job i of n" of each started job
        std::map<int, std::uintmax_t> logOffset; // the log's size when the job started
        // Several jobs at once: the started jobs in start order whose log block is not yet in
        // the run's log, and whether each has ended (its block goes in once those before it have).
        std::vector<std::pair<int, bool>> logBlocks;
        std::vector<std::string> problems;
        // A start failed for want of processes or files: no other starts until a job ends.
        bool waitingForResources = false;
        // The program is to end: the jobs not done stay queued in the list.
        bool forExit = false;
        // ... and the person who asked for the end wants no report and no log.
        bool quietEnd = false;
        std::vector<bool> enabledBefore;
        std::string log;
        std::string jobFile;
        // With several jobs at once, each writes its own log here, added to the run's log whole.
        std::optional<std::string> jobLogFolder;
        std::chrono::steady_clock::time_point startedAt;
        double totalWeight = 0;
        double endedWeight = 0; // of the jobs that ended (done or not)
    };

    // The one place where the state changes; false when the event means nothing in this state.
    bool transition(RunEvent event);
    // Runs an action at the run's boundary: an error it throws is reported, the run stops and
    // the list stays.
    void guarded(const std::function<void()>& action);
    void run(std::vector<int> numbers);
    // The start after its checks (and the question about replacing files): files and jobs.
    void launch(const std::vector<int>& numbers);
    void refuse(const std::string& text, int jobs);
    void startJobs();
    std::optional<int> nextQueued();
    void startJob(int number);
    void unfinished(int number, JobStatus status, const std::string& why);
    void jobEnded(int number);
    void onOutputLine(int number, std::string_view line);
    void onFinished(int number, const LaunchResult& result);
    bool retryWhenResourcesFree(int number, const LaunchResult& result);
    void addLogBlocks();
    void finishRun();
    // The jobs of a run ended for the program's end that it stopped or never came to: queued.
    void requeueForExit(const Run& ended);
    std::string jobLabel(int number) const;
    std::string jobLogPath(int number) const;
    // Before the run's private folder goes: its jobs' loudness curves move beside the run's log.
    void keepCurvesOfJobs(const Run& ended);
    double weightOf(int number) const;
    std::vector<ui::Control*> runLockedControls();

    ui::Windows& windows_;
    JobQueue& queue_;
    RunServices services_;
    int jobsAtOnce_ = 1;
    int doneOfLastRun_ = 0;
    int unfinishedOfLastRun_ = 0;
    bool lastRunEndedForExit_ = false;
    RunState state_ = RunState::Idle;
    std::optional<Run> run_;
    // Rows of the list before this one hold no queued job of the run.
    std::size_t scanFrom_ = 0;
    int queueSubscription_ = 0;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

} // namespace cantova::jobs
