#include "app/exit_with_jobs.h"

#include "ui/windows.h"

#include <algorithm>

namespace cantova::app {

namespace {

// The jobs an exit keeps or discards: during a run the done ones are still in the list.
int JobsNotDone(const jobs::JobQueue& queue) {
    return static_cast<int>(
        std::count_if(queue.jobs().begin(), queue.jobs().end(),
                      [](const jobs::Job& job) { return job.status != jobs::JobStatus::Done; }));
}

} // namespace

ExitWithJobs::ExitWithJobs(ui::Windows& windows, const jobs::JobQueue& queue,
                           jobs::JobRunner& runner, Decide decide)
    : windows_(windows), queue_(queue), runner_(runner), decide_(std::move(decide)) {
    subscription_ = runner_.observe([this](const jobs::RunStateChange& change) {
        if (change.to == jobs::RunState::Idle && afterRun_) {
            const ExitChoice choice = *afterRun_;
            afterRun_.reset();
            end(choice);
        }
    });
}

ExitWithJobs::~ExitWithJobs() {
    runner_.unobserve(subscription_);
}

bool ExitWithJobs::MayExit() {
    const bool running = runner_.InProgress();
    if (!running && queue_.count() == 0) {
        return true;
    }
    if (asking_ || afterRun_) {
        return false; // the question is open, or the run stops for the exit already
    }
    if (question_ == nullptr) {
        if (running) {
            stopThen(ExitChoice::Keep);
            return false;
        }
        if (decide_(JobsAtEnd::KeepForNextStart)) {
            decide_(JobsAtEnd::Discard);
        }
        return true;
    }
    asking_ = true;
    question_->AskAboutJobs(JobsNotDone(queue_), running, [this](ExitChoice choice) {
        asking_ = false;
        if (choice == ExitChoice::Cancel || windows_.program.ended) {
            return;
        }
        // The run may have ended on its own while the question was open.
        if (runner_.InProgress()) {
            stopThen(choice);
        } else {
            end(choice);
        }
    });
    return false;
}

void ExitWithJobs::stopThen(ExitChoice choice) {
    afterRun_ = choice;
    runner_.StopForExit();
}

void ExitWithJobs::end(ExitChoice choice) {
    const int jobs = queue_.count();
    if (jobs > 0 && choice == ExitChoice::Keep) {
        if (const std::optional<std::string> why = decide_(JobsAtEnd::KeepForNextStart)) {
            if (question_ != nullptr && question_->TellNotKept(jobs, *why) == ExitChoice::Cancel) {
                return;
            }
            decide_(JobsAtEnd::Discard);
        } else if (question_ != nullptr) {
            question_->TellKept(jobs);
        }
    } else if (jobs > 0) {
        decide_(JobsAtEnd::Discard);
    }
    windows_.frmMain.Form_Unload();
}

} // namespace cantova::app
