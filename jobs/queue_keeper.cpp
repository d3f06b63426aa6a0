#include "jobs/queue_keeper.h"

#include "jobs/job_files.h"
#include "jobs/job_outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

namespace cantova::jobs {

namespace {

namespace fs = std::filesystem;

// A save may take this share of the time at most while changes come quickly.
constexpr int kSaveCostFactor = 20;
constexpr std::chrono::milliseconds kLongestDelay{1000};

// A saved list names the files; only files of the kinds this program makes are removed, and
// never through a link, so that a damaged list cannot cost the user a file of their own.
void RemoveProgramFile(const std::string& path, std::string_view ending) {
    struct stat info {};
    if (path.ends_with(ending) && lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        unlink(path.c_str());
    }
}

void RemoveRunFolder(const std::optional<std::string>& folder) {
    std::error_code error;
    if (folder && fs::path(*folder).filename().string().starts_with("cantova-run-") &&
        fs::is_directory(fs::symlink_status(*folder, error))) {
        fs::remove_all(*folder, error);
    }
}

// "<pid>-<n><ending>": the rest of a partial output's name after ".<stem>.part-".
std::optional<pid_t> WriterOf(std::string_view rest, std::string_view ending) {
    if (!rest.ends_with(ending)) {
        return std::nullopt;
    }
    rest.remove_suffix(ending.size());
    const std::size_t dash = rest.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (dash == std::string_view::npos || !digits(rest.substr(0, dash)) ||
        !digits(rest.substr(dash + 1)) || dash > 9) {
        return std::nullopt;
    }
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

// The hidden files a transcoder writes an output under until it is complete, where the file
// system has no nameless files, of transcoders that no longer run (a running one removes its
// own when it stops).
void RemovePartialOutputs(const Job& job) {
    for (const std::string& output : JobOutputFiles(job.record())) {
        const fs::path path(output);
        const std::string head = "." + path.stem().string() + ".part-";
        const std::string ending = path.extension().string();
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(path.parent_path(), error)) {
            const std::string name = entry.path().filename().string();
            const std::optional<pid_t> writer =
                name.starts_with(head)
                    ? WriterOf(std::string_view(name).substr(head.size()), ending)
                    : std::nullopt;
            if (writer && kill(*writer, 0) != 0 && errno == ESRCH) {
                RemoveProgramFile(entry.path().string(), ending);
            }
        }
    }
}

void RemoveJobFiles(const Job& job) {
    if (job.status == JobStatus::Running) {
        RemovePartialOutputs(job);
    }
    RemoveProgramFile(job.settingsFile, ".aud");
}

} // namespace

QueueKeeper::QueueKeeper(JobQueue& queue, const std::string& stateFolder, bool saving)
    : queue_(queue), left_(FindLeftLists(stateFolder)), stateFolder_(stateFolder) {
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

TakenBack QueueKeeper::TakeBack() {
    return intoQueue(true);
}

TakenBack QueueKeeper::Borrow() {
    return intoQueue(false);
}

TakenBack QueueKeeper::intoQueue(bool take) {
    TakenBack taken;
    for (LeftList& list : left_) {
        for (Job job : list.saved().jobs) {
            if (job.status == JobStatus::Done) {
                // The run would have removed its settings file right after it.
                if (take) {
                    RemoveProgramFile(job.settingsFile, ".aud");
                }
                ++taken.done;
                continue;
            }
            if (job.status == JobStatus::Running) {
                if (take) {
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
            RemoveProgramFile(list.saved().runJobFile.value_or(""), ".task");
            RemoveRunFolder(list.saved().runFolder);
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
    for (LeftList& list : left_) {
        for (const Job& job : list.saved().jobs) {
            RemoveJobFiles(job);
        }
        RemoveProgramFile(list.saved().runJobFile.value_or(""), ".task");
        RemoveRunFolder(list.saved().runFolder);
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

void QueueKeeper::KeepForNextStart() {
    ended_ = true;
    if (!own_) {
        return;
    }
    if (queue_.jobs().empty()) {
        own_->RemoveWithLock();
        return;
    }
    own_->Save(FormatSavedQueue({queue_.jobs(), std::nullopt, std::nullopt, true}));
    own_.reset();
}

void QueueKeeper::DiscardAll() {
    ended_ = true;
    for (const Job& job : queue_.jobs()) {
        if (borrowed_.count(job.settingsFile) == 0) {
            RemoveProgramFile(job.settingsFile, ".aud");
        }
    }
    if (own_) {
        own_->RemoveWithLock();
    }
}

} // namespace cantova::jobs
