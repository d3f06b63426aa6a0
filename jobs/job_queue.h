#pragma once

// The job list as a model: one typed record per job, in run order. The four list boxes of the
// main window (the visible job list, its hidden record list and the two job file lists) mirror the
// model after every change, so that the windows and the batch driver show them as before; the
// model, not the list boxes, is what the program reads.

#include "jobs/job_record.h"
#include "jobs/job_target.h"
#include "ui/job_kind.h"

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace cantova::ui {
class MainWindow;
}

namespace cantova::jobs {

// NotStarted: a run that was stopped never came to the job.
enum class JobStatus { Queued, Running, Done, Failed, Skipped, Stopped, NotStarted };

// "queued", "running", "done", "failed", "skipped", "stopped", "not started".
std::string StatusName(JobStatus status);

// Whether Retry Failed runs a job of that status again: it failed, was stopped, skipped or not
// started.
bool LeftForRetry(JobStatus status);

struct Job {
    // Given at the add and never reused: it names the job's settings and output files.
    int number = 0;
    std::string settingsFile;
    std::string source;
    // The audio track read from a container source, from 1; 0 for any other source.
    int track = 0;
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
    // The target as the job's command line has it ("MP3 CBR 256 kbit/s"); empty for a copy.
    std::string target;
    // "5.1 → 2.0" when the output has fewer channels than the source, else empty.
    std::string channels;
    // The gain mode as the command line has it ("Loudness -16 LUFS / -1 dBTP"); empty for none.
    std::string gain;
    // The settings of the window the job's command leaves out ("Boost, Sample Rate" for a WAV job
    // from a source that is not AC3); empty when it applies them all.
    std::string notApplied;

    JobStatus status = JobStatus::Queued;
    // The job was part of a run: its files are the program's until it is done or the program ends.
    bool inRun = false;
    // The transcoder's progress while running, 100 once done.
    int percent = 0;
    // Why a job failed or was skipped.
    std::string reason;
    // What the transcoder measured in the output, when it says.
    std::optional<SoundReport> sound;
    // The file of the loudness curves the transcoder wrote for the job, when it named one.
    std::string curvesFile;
    std::optional<std::chrono::system_clock::time_point> startedAt, endedAt;

    JobRecord record() const;
};

// What one change of the job list did, so that an observer can follow it row by row (a table's
// rows, a saved copy of the list) instead of reading the whole list again.
struct JobListChange {
    enum class Kind {
        Inserted,   // rows first .. first + count - 1 are new
        Removed,    // rows first .. first + count - 1 are gone (rows as they were before)
        Moved,      // the job at row first is now at row to; the jobs between shifted by one
        Updated,    // the run state of the job at row first changed (status, reason, times)
        Progressed, // only the percentage of the running job at row first changed
        Selected,   // the selected job changed
        RunJobFile, // the run's job file or private folder appeared or went
    };
    Kind kind = Kind::Updated;
    int first = 0;
    int count = 1;
    int to = 0;
};

class JobQueue {
public:
    using Observer = std::function<void(const JobListChange&)>;

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
    // Removes every job for which leaves is true, in one pass over the list; the number removed.
    int removeIf(const std::function<bool(const Job&)>& leaves);
    // Moves the job one place up (-1) or down (+1); false when it cannot move.
    bool move(int index, int offset);

    // Changes a job's run state; the list boxes do not show it, observers learn of it.
    void update(int number, const std::function<void(Job&)>& change);
    // The running job's new percentage, which observers may show less often than other changes.
    void setPercent(int number, int percent);

    // The job file of the running run, shown in the job file lists while the run lasts.
    void setRunJobFile(const std::optional<std::string>& path);
    const std::optional<std::string>& runJobFile() const { return runJobFile_; }
    // The running run's private folder, if it has one, so that a saved list names it.
    void setRunFolder(const std::optional<std::string>& path);
    const std::optional<std::string>& runFolder() const { return runFolder_; }

    // The selected job of the visible list, -1 when none.
    int selectedIndex() const;
    void select(int index);

    // Views subscribe to learn about every change, as it happens and after the list boxes show it;
    // the returned id unsubscribes.
    int subscribe(Observer observer);
    void unsubscribe(int id);

private:
    void mirrorAll(int selection);
    void mirrorRunJobFile();
    void reindexFrom(std::size_t row);
    void changed(const JobListChange& change);

    ui::MainWindow& window_;
    std::vector<Job> jobs_;
    // Each job's row by its number, so that a run finds its jobs without a search.
    std::unordered_map<int, std::size_t> rowOf_;
    // The numbers in the list, in order, for the next number.
    std::set<int> numbers_;
    std::optional<std::string> runJobFile_;
    std::optional<std::string> runFolder_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

} // namespace cantova::jobs
