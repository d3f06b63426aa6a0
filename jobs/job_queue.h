#pragma once

// The job list as a model: one typed record per job, in run order. The four list boxes of the
// main window (the visible job list, its hidden record list and the two job file lists) mirror the
// model after every change, so that the windows and the batch driver show them as before; the
// model, not the list boxes, is what the program reads.

#include "jobs/job_record.h"
#include "ui/job_kind.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {
class MainWindow;
}

namespace cantova::jobs {

enum class JobStatus { Queued, Running, Done, Failed, Skipped, Stopped };

// "queued", "running", "done", "failed", "skipped", "stopped".
std::string StatusName(JobStatus status);

// Whether Retry Failed runs a job of that status again: it failed, was stopped or was skipped.
bool LeftForRetry(JobStatus status);

struct Job {
    // Given at the add and never reused: it names the job's settings and output files.
    int number = 0;
    std::string settingsFile;
    std::string source;
    // The output as the command line takes it (a quoted path); the quoted source for a copy.
    std::string outputArgument;
    // An AC3 source kept as it is: no transcoder runs.
    bool copy = false;
    // Target bit rate in kbit/s, 0 where the target has none.
    int targetBitrate = 0;
    ui::JobKind kind = ui::JobKind::Mp3;
    ui::Codec codec = ui::Codec::Mp3;
    // How long the source plays, as far as it could be told (for the time left of a run).
    double sourceSeconds = 0;

    JobStatus status = JobStatus::Queued;
    // The job was part of a run: its files are the program's until it is done or the program ends.
    bool inRun = false;
    // The transcoder's progress while running, 100 once done.
    int percent = 0;
    // Why a job failed or was skipped.
    std::string reason;
    std::optional<std::chrono::system_clock::time_point> startedAt, endedAt;

    JobRecord record() const;
};

class JobQueue {
public:
    using Observer = std::function<void()>;

    // Mirrors into the job lists of window, whose hidden elements must exist (after its load step).
    explicit JobQueue(ui::MainWindow& window) : window_(window) {}

    const std::vector<Job>& jobs() const { return jobs_; }
    int count() const { return static_cast<int>(jobs_.size()); }
    const Job& at(int index) const { return jobs_.at(static_cast<std::size_t>(index)); }
    // Index of the job with that number, -1 when there is none.
    int indexOf(int number) const;

    // One more than the highest number in the list, so that no two jobs share an output name.
    int nextNumber() const;
    void append(Job job);
    void remove(int index);
    // Moves the job one place up (-1) or down (+1); false when it cannot move.
    bool move(int index, int offset);

    // Changes a job's run state; the list boxes do not show it, observers learn of it.
    void update(int number, const std::function<void(Job&)>& change);

    // The job file of the running run, shown in the job file lists while the run lasts.
    void setRunJobFile(const std::optional<std::string>& path);
    const std::optional<std::string>& runJobFile() const { return runJobFile_; }
    // The running run's private folder, if it has one, so that a saved list names it.
    void setRunFolder(const std::optional<std::string>& path);
    const std::optional<std::string>& runFolder() const { return runFolder_; }

    // The selected job of the visible list, -1 when none.
    int selectedIndex() const;
    void select(int index);

    // Views subscribe to learn about every change; the returned id unsubscribes.
    int subscribe(Observer observer);
    void unsubscribe(int id);

private:
    void mirror(int selection);
    void changed();

    ui::MainWindow& window_;
    std::vector<Job> jobs_;
    std::optional<std::string> runJobFile_;
    std::optional<std::string> runFolder_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

} // namespace cantova::jobs
