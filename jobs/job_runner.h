#pragma once

// The run: the Start action's checks and files, then one job after the other (or several at once)
// through the process launcher, driven by its events: a job's settings are restored into both
// windows and its command is built when it starts, and the next job starts when a process ends.
// At the end the jobs that were done leave the list with their files, the others stay with their
// status for a retry, and the transcoder log is shown.

#include "jobs/job_queue.h"
#include "jobs/process_launcher.h"
#include "jobs/run_services.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
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
    RunNotifier& notifier;
};

// How far a run has come, weighed by the jobs' source durations.
struct RunProgress {
    // The most recently started job that still runs, and its percentage.
    std::optional<int> runningJob;
    int jobPercent = 0;
    int runPercent = 0;
    std::optional<std::chrono::seconds> timeLeft;
};

class JobRunner : public ui::RunPort {
public:
    JobRunner(ui::Windows& windows, JobQueue& queue, const RunServices& services);

    // Runs every job of the list.
    void Start() override;
    // Runs the jobs of the list that failed, were stopped or were skipped.
    void RetryFailed();
    bool InProgress() const override { return run_.has_value(); }
    void StopAndUnload() override;
    // Ends the running transcoders; the run ends when they have.
    void StopNow();
    // Lets the running jobs finish and starts no other.
    void StopAfterCurrent();

    int jobsAtOnce() const { return jobsAtOnce_; }
    // 1 (the default) runs one job at a time; more run at once, each command still built in turn.
    void setJobsAtOnce(int jobs);

    // Jobs of the last Start or retry that were skipped, not started, stopped or failed.
    int unfinishedJobsOfLastRun() const { return unfinishedOfLastRun_; }
    RunProgress progress() const;

private:
    struct Run {
        std::vector<int> numbers; // the run's jobs, by number
        int started = 0;          // how many of them have started
        std::map<int, ProcessId> running;
        std::optional<int> captionJob;           // the job the caption shows
        std::map<int, int> sequence;             // the "i" of "job i of n" of each started job
        std::map<int, std::uintmax_t> logOffset; // the log's size when the job started
        std::vector<std::string> problems;
        bool stopNow = false;
        bool stopAfterCurrent = false;
        bool unloadWhenDone = false;
        std::vector<bool> enabledBefore;
        std::string log;
        std::string jobFile;
        // With several jobs at once, each writes its own log here, added to the run's log whole.
        std::optional<std::string> jobLogFolder;
        std::chrono::steady_clock::time_point startedAt;
    };

    void run(std::vector<int> numbers);
    bool refused(const std::string& text, int jobs);
    void startJobs();
    std::optional<int> nextQueued() const;
    void startJob(int number);
    void unfinished(int number, JobStatus status, const std::string& why);
    void onOutputLine(int number, std::string_view line);
    void onFinished(int number, const LaunchResult& result);
    void finishRun();
    std::string jobLabel(int number) const;
    std::string jobLogPath(int number) const;
    void showRunStatus(int number, std::optional<int> percent);
    std::vector<ui::Control*> runLockedControls();

    ui::Windows& windows_;
    JobQueue& queue_;
    RunServices services_;
    int jobsAtOnce_ = 1;
    int unfinishedOfLastRun_ = 0;
    std::optional<Run> run_;
};

} // namespace cantova::jobs
