#pragma once

// The job list kept on disk while the program runs, so that it survives a crash: saved after its
// changes (at once, or a moment later while changes come quickly), taken back or discarded at the
// next start, and kept or removed with the jobs' settings files when the program ends.

#include "jobs/job_queue.h"
#include "jobs/saved_list_files.h"

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cantova::jobs {

// What was taken back from lists that earlier programs left.
struct TakenBack {
    int jobs = 0;
    // Jobs that had been done: their outputs are there, they do not come back.
    int done = 0;
    // The sources of jobs that were running: queued again, their partial outputs removed.
    std::vector<std::string> requeued;
};

class QueueKeeper {
public:
    // Saving: whether this program keeps a list of its own (not in a dry run, which writes
    // nothing that outlives it). The lists that earlier programs left are found either way.
    QueueKeeper(JobQueue& queue, const std::string& stateFolder, bool saving);
    ~QueueKeeper();
    QueueKeeper(const QueueKeeper&) = delete;
    QueueKeeper& operator=(const QueueKeeper&) = delete;

    // Why lists that earlier programs left were not read, or only in part, one sentence each
    // (naming the list): said once at the start.
    const std::vector<std::string>& LeftListProblems() const { return leftListProblems_; }
    // The jobs in lists that earlier programs left, which are not done.
    int leftJobCount() const;
    // Takes their jobs into the list: done jobs drop out with their settings files, a job that
    // was running is queued again without its partial outputs, the dead run's job file and
    // private folder are removed, and the lists with them, and the job files that the dead
    // program made after its last save.
    TakenBack TakeBack();
    // The same jobs into the list, but nothing on disk changes and their settings files stay when
    // the program ends: for a dry run.
    TakenBack Borrow();
    // Removes what the left lists name (settings files, partial outputs, run files) and the lists.
    void DiscardLeft();

    // Why the list cannot be kept (its folder cannot be made or locked, or the last save
    // failed), naming the folder: a crash would lose the jobs. Nothing while saving works.
    std::optional<std::string> SavingProblem() const;
    // Told the problem when it appears (at once when there is one already) and nothing when it
    // goes away; tells the user once, not on every save.
    void setSavingProblemNotice(std::function<void(const std::string&)> notice);

    // Without a scheduler a save put off waits for the next change or SavePending; with one, it
    // is asked to call SavePending after the delay.
    void setScheduler(std::function<void(std::chrono::milliseconds)> schedule);
    // Saves a change that was put off.
    void SavePending();

    // The end of the program: the list stays for the next start, settings files and all; why it
    // could not be saved (nothing changes then, so that the jobs can still be discarded)...
    std::optional<std::string> KeepForNextStart();
    // ... or the jobs' settings files (but those borrowed) and the list go.
    void DiscardAll();

private:
    void changed();
    void save();
    void tellSavingProblem();
    TakenBack intoQueue(bool take);
    // Whether a list of a running program names the path: its file, never removed.
    bool ownedByRunning(const std::optional<std::string>& path) const;
    void removeLeftJobFiles(const Job& job) const;
    // The run's files, and the job files made after the list was saved that no list names.
    void removeLeftRunFiles(const LeftList& list, const std::set<std::string>& named) const;
    // The files that lists (of running programs, left ones, and this program's) name.
    std::set<std::string> namedAnywhere() const;

    JobQueue& queue_;
    int subscription_ = 0;
    std::optional<OwnListFile> own_;
    std::vector<LeftList> left_;
    std::vector<std::string> leftListProblems_;
    std::set<std::string> namedByRunning_;
    std::set<std::string> borrowed_;
    std::function<void(std::chrono::milliseconds)> schedule_;
    std::function<void(const std::string&)> savingProblemNotice_;
    std::string stateFolder_;
    bool lastSaveFailed_ = false;
    bool savingProblemTold_ = false;
    std::string lastSaved_;
    // The run's files in the last save: a new run is saved at once, so that its files are named.
    std::optional<std::string> savedRunJobFile_, savedRunFolder_;
    std::chrono::steady_clock::time_point lastSaveAt_{};
    std::chrono::steady_clock::duration lastSaveCost_{};
    bool pending_ = false;
    bool scheduled_ = false;
    bool ended_ = false;
};

} // namespace cantova::jobs
