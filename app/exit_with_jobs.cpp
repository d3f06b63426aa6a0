#include "app/exit_with_jobs.h"

#include "ui/windows.h"

namespace cantova::app {

bool ExitWithJobs::MayExit() {
    if (queue_.count() == 0) {
        return true;
    }
    if (question_ == nullptr) {
        decide_(JobsAtEnd::KeepForNextStart);
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
        decide_(choice == ExitChoice::Keep ? JobsAtEnd::KeepForNextStart : JobsAtEnd::Discard);
        windows_.frmMain.Form_Unload();
    });
    return false;
}

} // namespace cantova::app
