#include "app/batch_progress.h"

#include <algorithm>

namespace cantova::app {

BatchProgress::BatchProgress(jobs::JobQueue& queue, const jobs::JobRunner& runner,
                             std::ostream& out, bool terminal)
    : queue_(queue), runner_(runner), out_(out), terminal_(terminal),
      subscription_(
          queue.subscribe([this](const jobs::JobListChange& change) { changed(change); })) {}

BatchProgress::~BatchProgress() {
    queue_.unsubscribe(subscription_);
}

void BatchProgress::changed(const jobs::JobListChange& change) {
    using Kind = jobs::JobListChange::Kind;
    // Only an update or a percentage changes a job's run state; a list of thousands of jobs
    // is added, moved and deleted without looking at every job for every change.
    const bool runStateChanged = change.kind == Kind::Updated || change.kind == Kind::Progressed;
    if (terminal_) {
        if (!runStateChanged && change.kind != Kind::Removed) {
            return;
        }
        const jobs::RunProgress progress = runner_.progress();
        if (progress.runningJob) {
            rewrite("progress: job " + std::to_string(*progress.runningJob) + ": " +
                    std::to_string(progress.jobPercent.value_or(0)) + "%, run " +
                    std::to_string(progress.runPercent) + "%");
        }
        // Once no job runs, the line is ended before the run's report is printed.
        const auto& jobs = queue_.jobs();
        if (!shownLine_.empty() && std::none_of(jobs.begin(), jobs.end(), [](const jobs::Job& job) {
                return job.status == jobs::JobStatus::Running;
            })) {
            endLine();
        }
        return;
    }
    if (runStateChanged && change.first >= 0 && change.first < queue_.count()) {
        printStep(queue_.at(change.first));
        out_.flush();
    }
}

void BatchProgress::printStep(const jobs::Job& job) {
    const auto printed = printedTenth_.find(job.number);
    if (job.status != jobs::JobStatus::Running) {
        if (printed != printedTenth_.end() && job.status == jobs::JobStatus::Done &&
            printed->second < 10) {
            out_ << "progress: job " << job.number << ": 100%\n";
        }
        if (printed != printedTenth_.end()) {
            printedTenth_.erase(printed);
        }
        return;
    }
    const int tenth = job.percent / 10;
    if (printed == printedTenth_.end() || tenth > printed->second) {
        printedTenth_[job.number] = tenth;
        out_ << "progress: job " << job.number << ": " << tenth * 10 << "%\n";
    }
}

void BatchProgress::rewrite(const std::string& line) {
    if (line == shownLine_) {
        return;
    }
    const std::size_t shorter =
        shownLine_.size() > line.size() ? shownLine_.size() - line.size() : 0;
    out_ << '\r' << line << std::string(shorter, ' ') << std::flush;
    shownLine_ = line;
}

void BatchProgress::endLine() {
    if (!shownLine_.empty()) {
        out_ << '\n' << std::flush;
        shownLine_.clear();
    }
}

} // namespace cantova::app
