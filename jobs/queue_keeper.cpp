#include "jobs/queue_keeper.h"

#include "jobs/left_files.h"
#include "jobs/left_lists.h"

namespace cantova::jobs {

namespace {

// A save may take this share of the time at most while changes come quickly.
constexpr int kSaveCostFactor = 20;
constexpr std::chrono::milliseconds kLongestDelay{1000};

} // namespace

QueueKeeper::QueueKeeper(JobQueue& queue, const std::string& stateFolder, bool saving)
    : queue_(queue), stateFolder_(stateFolder) {
    // Read before the folder is made the user's alone: lists that others could write are not read.
    LeftLists found = FindLeftLists(stateFolder, saving);
    left_ = std::move(found.lists);
    leftListProblems_ = std::move(found.problems);
    namedByRunning_ = std::move(found.namedByRunning);
    if (saving) {
        own_.emplace(stateFolder);
    }
    // Every change counts, a percentage too: a save that was put off is made at the next one.
    subscription_ = queue_.subscribe([this](const JobListChange&) { changed(); });
}

QueueKeeper::~QueueKeeper() {
    queue_.unsubscribe(subscription_);
}

int QueueKeeper::leftJobCount() const {
    int count = 0;
    for (const LeftList& list : left_) {
        for (const Job& job : list.saved().jobs) {
            count += job.status == JobStatus::Done ? 0 : 1;
        }
    }
    return count;
}

bool QueueKeeper::ownedByRunning(const std::optional<std::string>& path) const {
    return path && namedByRunning_.count(*path) != 0;
}

void QueueKeeper::removeLeftJobFiles(const Job& job) const {
    if (!ownedByRunning(job.settingsFile)) {
        RemoveJobFiles(job);
    }
}

void QueueKeeper::removeLeftRunFiles(const LeftList& list,
                                     const std::set<std::string>& named) const {
    const SavedQueue& saved = list.saved();
    if (!ownedByRunning(saved.runJobFile)) {
        RemoveRunJobFile(saved.runJobFile, saved.jobs);
    }
    if (!ownedByRunning(saved.runFolder)) {
        RemoveRunFolder(saved.runFolder);
    }
    RemoveUnsavedJobFiles(saved.jobs, list.savedAt(), named);
}

std::set<std::string> QueueKeeper::namedAnywhere() const {
    std::set<std::string> named = namedByRunning_;
    const auto add = [&named](const std::vector<Job>& jobs,
                              const std::optional<std::string>& file) {
        for (const Job& job : jobs) {
            named.insert(job.settingsFile);
        }
        if (file) {
            named.insert(*file);
        }
    };
    for (const LeftList& list : left_) {
        add(list.saved().jobs, list.saved().runJobFile);
    }
    add(queue_.jobs(), queue_.runJobFile());
    return named;
}

TakenBack QueueKeeper::TakeBack() {
    return intoQueue(true);
}

TakenBack QueueKeeper::Borrow() {
    return intoQueue(false);
}

TakenBack QueueKeeper::intoQueue(bool take) {
    TakenBack taken;
    const std::set<std::string> named = namedAnywhere();
    for (LeftList& list : left_) {
        for (Job job : list.saved().jobs) {
            if (ownedByRunning(job.settingsFile)) {
                continue; // a job of a program that runs now: it stays in that program's list
            }
            if (job.status == JobStatus::Done) {
                // The run would have removed its settings file right after it.
                if (take) {
                    removeLeftJobFiles(job);
                }
                ++taken.done;
                continue;
            }
            if (job.status == JobStatus::Running) {
                if (take && !ownedByRunning(job.settingsFile)) {
                    RemovePartialOutputs(job);
                }
                job.status = JobStatus::Queued;
                taken.requeued.push_back(job.source);
            }
            job.percent = 0;
            job.startedAt.reset();
            job.endedAt.reset();
            // Numbers only tell jobs apart: the files and the output were named at the add.
            if (queue_.indexOf(job.number) >= 0) {
                job.number = queue_.nextNumber();
            }
            if (!take) {
                borrowed_.insert(job.settingsFile);
            }
            queue_.append(std::move(job));
            ++taken.jobs;
        }
        if (take) {
            removeLeftRunFiles(list, named);
            list.Forget();
        }
    }
    if (take) {
        left_.clear();
        save();
    }
    return taken;
}

void QueueKeeper::DiscardLeft() {
    const std::set<std::string> named = namedAnywhere();
    for (LeftList& list : left_) {
        for (const Job& job : list.saved().jobs) {
            removeLeftJobFiles(job);
        }
        removeLeftRunFiles(list, named);
        list.Forget();
    }
    left_.clear();
}

std::optional<std::string> QueueKeeper::SavingProblem() const {
    if (!own_ || (own_->usable() && !lastSaveFailed_)) {
        return std::nullopt;
    }
    return "the job list cannot be saved in " + stateFolder_ + ", so a crash would lose the jobs";
}

void QueueKeeper::setSavingProblemNotice(std::function<void(const std::string&)> notice) {
    savingProblemNotice_ = std::move(notice);
    tellSavingProblem();
}

void QueueKeeper::tellSavingProblem() {
    const std::optional<std::string> problem = SavingProblem();
    if (problem && !savingProblemTold_ && savingProblemNotice_) {
        savingProblemTold_ = true;
        savingProblemNotice_(*problem);
    }
}

void QueueKeeper::setScheduler(std::function<void(std::chrono::milliseconds)> schedule) {
    schedule_ = std::move(schedule);
}

void QueueKeeper::changed() {
    if (!own_ || ended_) {
        return;
    }
    pending_ = true;
    const auto delay = std::min<std::chrono::steady_clock::duration>(
        lastSaveCost_ * kSaveCostFactor - (std::chrono::steady_clock::now() - lastSaveAt_),
        kLongestDelay);
    const bool newRun =
        queue_.runJobFile() != savedRunJobFile_ || queue_.runFolder() != savedRunFolder_;
    if (newRun || delay <= std::chrono::steady_clock::duration::zero()) {
        save();
    } else if (schedule_ && !scheduled_) {
        scheduled_ = true;
        schedule_(std::chrono::ceil<std::chrono::milliseconds>(delay));
    }
}

void QueueKeeper::SavePending() {
    scheduled_ = false;
    if (pending_ && !ended_) {
        save();
    }
}

void QueueKeeper::save() {
    pending_ = false;
    if (!own_) {
        return;
    }
    const auto began = std::chrono::steady_clock::now();
    SavedQueue saved{queue_.jobs(), queue_.runJobFile(), queue_.runFolder(), false};
    savedRunJobFile_ = saved.runJobFile;
    savedRunFolder_ = saved.runFolder;
    if (saved.jobs.empty() && !saved.runJobFile) {
        // Nothing to take back.
        own_->Remove();
        lastSaved_.clear();
        return;
    }
    std::string text = FormatSavedQueue(saved);
    if (text == lastSaved_) {
        return;
    }
    lastSaveFailed_ = !own_->Save(text);
    if (!lastSaveFailed_) {
        lastSaved_ = std::move(text);
    }
    tellSavingProblem();
    lastSaveAt_ = std::chrono::steady_clock::now();
    lastSaveCost_ = lastSaveAt_ - began;
}

std::optional<std::string> QueueKeeper::KeepForNextStart() {
    if (ended_) {
        return std::nullopt;
    }
    if (!own_) {
        return std::string("this program saves no job list");
    }
    if (queue_.jobs().empty()) {
        ended_ = true;
        own_->RemoveWithLock();
        return std::nullopt;
    }
    if (!own_->usable() ||
        !own_->Save(FormatSavedQueue({queue_.jobs(), std::nullopt, std::nullopt, true}))) {
        return own_->problem();
    }
    ended_ = true;
    own_.reset();
    return std::nullopt;
}

void QueueKeeper::DiscardAll() {
    ended_ = true;
    for (const Job& job : queue_.jobs()) {
        if (borrowed_.count(job.settingsFile) == 0) {
            RemoveSettingsFile(job);
        }
    }
    if (own_) {
        own_->RemoveWithLock();
    }
}

} // namespace cantova::jobs
