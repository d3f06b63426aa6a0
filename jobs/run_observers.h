#pragma once

// What follows a run and shows it in the windows models, for both programs: the main window's
// caption and the notification at a run's end. The GUI's views (job table, status line, menus)
// follow the same runner and queue.

#include "jobs/job_queue.h"
#include "jobs/job_runner.h"
#include "jobs/run_services.h"

#include <string>

namespace cantova::ui {
class MainWindow;
}

namespace cantova::jobs {

// The main window's caption while jobs run: "<caption> - job i of n" for the job started last,
// then with its percentage once the transcoder reports one ("- 45%"); with several jobs at once
// the run's overall percentage instead ("- all 45%"). The form's own caption otherwise.
class RunCaption {
public:
    RunCaption(ui::MainWindow& window, JobRunner& runner, JobQueue& queue);
    ~RunCaption();
    RunCaption(const RunCaption&) = delete;
    RunCaption& operator=(const RunCaption&) = delete;

    // Off: a new percentage waits for the next refresh, so that the caption shows the figure the
    // other views show at that moment. On by default.
    void showPercentagesAtOnce(bool atOnce) { percentagesAtOnce_ = atOnce; }
    void refresh();

private:
    ui::MainWindow& window_;
    JobRunner& runner_;
    JobQueue& queue_;
    bool percentagesAtOnce_ = true;
    int runSubscription_ = 0;
    int queueSubscription_ = 0;
};

// The caption a run shows; the base caption alone when the run shows none.
std::string RunCaptionText(const std::string& base, RunState state, const RunProgress& progress);

// Tells the notifier when a run that started has ended, with its counts of done and unfinished
// jobs. A start that was refused ran nothing and tells nothing.
class RunEndNotice {
public:
    RunEndNotice(JobRunner& runner, RunNotifier& notifier);
    ~RunEndNotice();
    RunEndNotice(const RunEndNotice&) = delete;
    RunEndNotice& operator=(const RunEndNotice&) = delete;

private:
    JobRunner& runner_;
    int subscription_ = 0;
};

} // namespace cantova::jobs
