#pragma once

// The main window's status line: the command line of the selected job, to read and to copy, and
// during a run the progress of the running job and of the whole run with the time left; after a
// run, that the windows show the last job's settings until they are put back. It
// follows the run's states and the job queue's changes, and shows new percentages at the pace of
// the other views; nothing polls.

#include "app/program.h"
#include "gui/progress_pace.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>

#include <chrono>
#include <optional>

namespace cantova::ui::qt {

// "1:02:03 left", "4:05 left".
QString TimeLeftText(std::chrono::seconds left);

class RunStatusBar {
public:
    RunStatusBar(QStatusBar& bar, app::Program& program, ProgressPace& pace);
    ~RunStatusBar();
    RunStatusBar(const RunStatusBar&) = delete;
    RunStatusBar& operator=(const RunStatusBar&) = delete;

private:
    void followRun();
    void showCommandLine();
    void showProgress();

    app::Program& program_;
    QLineEdit& commandLine_;
    QProgressBar& jobProgress_;
    QProgressBar& runProgress_;
    QLabel& timeLeft_;
    // After a run: the windows show the last job's settings, which can be undone.
    QLabel& settingsNote_;
    ProgressPace& pace_;
    // The job whose command line is shown (a job's settings never change, nor its command).
    std::optional<int> shownJob_;
    int subscription_ = 0;
    int runSubscription_ = 0;
    int paceSubscription_ = 0;
    int settingsSubscription_ = 0;
};

} // namespace cantova::ui::qt
