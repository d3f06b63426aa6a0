#include "gui/run_menu_items.h"

#include "gui/jobs_menu.h"

#include <QActionGroup>
#include <QThread>

#include <algorithm>

namespace cantova::ui::qt {

RunMenuItems::RunMenuItems(QMainWindow& window, app::Program& program)
    : program_(program), menu_(&JobsMenu(window)) {
    if (!menu_->isEmpty()) {
        menu_->addSeparator();
    }
    jobs::JobRunner& runner = program_.runner;
    jobs::JobList& list = program_.jobList;
    stopNow_ = &addItem("MenuJobsStopNow", "Stop &Now", Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    connect(stopNow_, &QAction::triggered, this, [&runner] { runner.StopNow(); });
    stopAfterCurrent_ = &addItem("MenuJobsStopAfterCurrent", "Stop A&fter Current Job",
                                 Qt::CTRL | Qt::SHIFT | Qt::Key_A);
    connect(stopAfterCurrent_, &QAction::triggered, this, [&runner] { runner.StopAfterCurrent(); });
    menu_->addSeparator();
    retryFailed_ = &addItem("MenuJobsRetryFailed", "&Retry Failed", Qt::CTRL | Qt::Key_R);
    connect(retryFailed_, &QAction::triggered, this, [&runner] { runner.RetryFailed(); });
    menu_->addSeparator();
    moveUp_ = &addItem("MenuJobsMoveUp", "Move &Up", Qt::CTRL | Qt::Key_Up);
    connect(moveUp_, &QAction::triggered, this, [&list] { list.MoveSelected(-1); });
    moveDown_ = &addItem("MenuJobsMoveDown", "Move &Down", Qt::CTRL | Qt::Key_Down);
    connect(moveDown_, &QAction::triggered, this, [&list] { list.MoveSelected(+1); });
    restoreSettings_ = &addItem("MenuJobsRestoreSettings", "Restore My &Settings", {});
    connect(restoreSettings_, &QAction::triggered, this,
            [this] { program_.settingsBeforeRun.Restore(); });
    settingsSubscription_ = program_.settingsBeforeRun.onChange(
        [this] { restoreSettings_->setEnabled(program_.settingsBeforeRun.available()); });
    restoreSettings_->setEnabled(false);
    menu_->addSeparator();
    buildJobsAtOnce();
    subscription_ = program_.queue.subscribe([this](const jobs::JobListChange& change) {
        using Kind = jobs::JobListChange::Kind;
        if (change.kind == Kind::Progressed || change.kind == Kind::Updated ||
            change.kind == Kind::RunJobFile) {
            return;
        }
        showMoves();
        // Added jobs are queued; only a removal can take the last one left for a retry.
        if (change.kind == Kind::Removed && retryFailed_->isEnabled()) {
            showRetry();
        }
    });
    runSubscription_ =
        runner.observe([this](const jobs::RunStateChange& change) { showRunState(change.to); });
    showRunState(runner.state());
    showMoves();
}

RunMenuItems::~RunMenuItems() {
    program_.queue.unsubscribe(subscription_);
    program_.runner.unobserve(runSubscription_);
    program_.settingsBeforeRun.stopTelling(settingsSubscription_);
}

QAction& RunMenuItems::addItem(const char* objectName, const char* text,
                               const QKeySequence& shortcut) {
    QAction* action = menu_->addAction(text);
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    return *action;
}

// One choice for each processor core, up to which a run may use one job each.
void RunMenuItems::buildJobsAtOnce() {
    jobsAtOnce_ = menu_->addMenu("Jobs at &Once");
    jobsAtOnce_->setObjectName("MenuJobsAtOnce");
    auto* choices = new QActionGroup(jobsAtOnce_);
    const int cores = std::max(1, QThread::idealThreadCount());
    for (int jobs = 1; jobs <= cores; ++jobs) {
        QAction* choice = jobsAtOnce_->addAction(QString::number(jobs));
        choice->setObjectName(QString("MenuJobsAtOnce(%1)").arg(jobs));
        choice->setCheckable(true);
        choice->setChecked(jobs == program_.runner.jobsAtOnce());
        choices->addAction(choice);
        connect(choice, &QAction::triggered, this,
                [this, jobs] { program_.runner.setJobsAtOnce(jobs); });
    }
}

void RunMenuItems::showRunState(jobs::RunState state) {
    using jobs::RunState;
    stopNow_->setEnabled(state == RunState::Running || state == RunState::Draining);
    stopAfterCurrent_->setEnabled(state == RunState::Running);
    // A run keeps the number it started with: its jobs' logs are kept apart only when it starts
    // with more than one.
    jobsAtOnce_->menuAction()->setEnabled(state == RunState::Idle);
    showRetry();
}

void RunMenuItems::showRetry() {
    const jobs::JobQueue& queue = program_.queue;
    retryFailed_->setEnabled(
        program_.runner.state() == jobs::RunState::Idle &&
        std::any_of(queue.jobs().begin(), queue.jobs().end(),
                    [](const jobs::Job& job) { return jobs::LeftForRetry(job.status); }));
}

void RunMenuItems::showMoves() {
    const int selected = program_.queue.selectedIndex();
    moveUp_->setEnabled(selected > 0);
    moveDown_->setEnabled(selected >= 0 && selected + 1 < program_.queue.count());
}

} // namespace cantova::ui::qt
