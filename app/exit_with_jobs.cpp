#include "app/exit_with_jobs.h"

#include "ui/windows.h"

namespace cantova::app {

bool ExitWithJobs::MayExit() {
    if (queue_.count() == 0) {
        return true;
    }
    if (question_ == nullptr) {
        if (decide_(JobsAtEnd::KeepForNextStart)) {
            decide_(JobsAtEnd::Discard);
        }
        return true;
    }
    if (asking_) {
        return false; // the question is open already
    }
    asking_ = true;
    question_->AskAboutJobs(queue_.count(), [this](ExitChoice choice) {
        asking_ = false;
        if (choice == ExitChoice::Cancel || windows_.program.ended) {
            return;
        }
        const int jobs = queue_.count();
        if (choice == ExitChoice::Keep) {
            if (const std::optional<std::string> why = decide_(JobsAtEnd::KeepForNextStart)) {
                if (question_->TellNotKept(jobs, *why) == ExitChoice::Cancel) {
                    return;
                }
                decide_(JobsAtEnd::Discard);
            } else {
                question_->TellKept(jobs);
            }
        } else {
            decide_(JobsAtEnd::Discard);
        }
        windows_.frmMain.Form_Unload();
    });
    return false;
}

} // namespace cantova::app
