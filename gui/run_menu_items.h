#pragma once

// The Jobs menu's items that steer runs: stopping a run at once or after the running jobs, running
// again the jobs that did not finish, moving the selected job in the run order, and how many jobs
// run at once, and putting back the settings the windows had when the last run started. Each item
// is enabled only while it can do something: the items follow the run's state and the job list.

#include "app/program.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QObject>

namespace cantova::ui::qt {

class RunMenuItems final : public QObject {
public:
    // Adds the items to the window's Jobs menu.
    RunMenuItems(QMainWindow& window, app::Program& program);
    ~RunMenuItems() override;

    QMenu& menu() const { return *menu_; }

private:
    QAction& addItem(const char* objectName, const char* text, const QKeySequence& shortcut);
    void buildJobsAtOnce();
    void showRunState(jobs::RunState state);
    void showRetry();
    void showMoves();

    app::Program& program_;
    QMenu* menu_;
    QAction* stopNow_ = nullptr;
    QAction* stopAfterCurrent_ = nullptr;
    QAction* retryFailed_ = nullptr;
    QAction* moveUp_ = nullptr;
    QAction* moveDown_ = nullptr;
    QAction* restoreSettings_ = nullptr;
    QMenu* jobsAtOnce_ = nullptr;
    int subscription_ = 0;
    int runSubscription_ = 0;
    int settingsSubscription_ = 0;
};

} // namespace cantova::ui::qt
