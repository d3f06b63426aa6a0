#include "jobs/run_observers.h"

#include "ui/main_window.h"

namespace cantova::jobs {

std::string RunCaptionText(const std::string& base, RunState state, const RunProgress& progress) {
    const bool jobsRun =
        state == RunState::Running || state == RunState::Draining || state == RunState::Stopping;
    if (!jobsRun || progress.jobSequence == 0) {
        return base;
    }
    std::string text = base + " - job " + std::to_string(progress.jobSequence) + " of " +
                       std::to_string(progress.jobCount);
    if (progress.jobsAtOnce > 1) {
        text += " - all " + std::to_string(progress.runPercent) + "%";
    } else if (progress.jobPercent) {
        text += " - " + std::to_string(*progress.jobPercent) + "%";
    }
    return text;
}

RunCaption::RunCaption(ui::MainWindow& window, JobRunner& runner, JobQueue& queue)
    : window_(window), runner_(runner), queue_(queue) {
    runSubscription_ = runner_.observe([this](const RunStateChange&) { refresh(); });
    queueSubscription_ = queue_.subscribe([this](const JobListChange& change) {
        if (change.kind == JobListChange::Kind::Updated ||
            (change.kind == JobListChange::Kind::Progressed && percentagesAtOnce_)) {
            refresh();
        }
    });
}

RunCaption::~RunCaption() {
    runner_.unobserve(runSubscription_);
    queue_.unsubscribe(queueSubscription_);
}

void RunCaption::refresh() {
    const std::string text =
        RunCaptionText(window_.form().caption, runner_.state(), runner_.progress());
    if (text != window_.caption()) {
        window_.setCaption(text);
    }
}

RunEndNotice::RunEndNotice(JobRunner& runner, RunNotifier& notifier) : runner_(runner) {
    subscription_ = runner_.observe([this, &notifier](const RunStateChange& change) {
        if (change.from == RunState::Finishing && change.to == RunState::Idle) {
            notifier.RunEnded(runner_.doneJobsOfLastRun(), runner_.unfinishedJobsOfLastRun());
        }
    });
}

RunEndNotice::~RunEndNotice() {
    runner_.unobserve(subscription_);
}

} // namespace cantova::jobs
