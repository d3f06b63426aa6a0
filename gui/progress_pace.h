#pragma once

// One pace for every view of a run's percentages: a job's new percentage reaches the window
// title, the job table and the status line in the same moment, at most once a second, so that
// they never show different figures for long.

#include "gui/paced_action.h"
#include "jobs/job_queue.h"

#include <functional>
#include <vector>

namespace cantova::ui::qt {

class ProgressPace {
public:
    explicit ProgressPace(jobs::JobQueue& queue);
    ~ProgressPace();
    ProgressPace(const ProgressPace&) = delete;
    ProgressPace& operator=(const ProgressPace&) = delete;

    // Each view shows its percentages when told; the returned id stops it.
    int follow(std::function<void()> show);
    void stopFollowing(int id);
    // Shows the percentages in every view now, as a change that must show at once does.
    void showNow() { pace_.runNow(); }

private:
    void showAll();

    jobs::JobQueue& queue_;
    std::vector<std::pair<int, std::function<void()>>> views_;
    int nextId_ = 1;
    PacedAction pace_{kProgressPace, [this] { showAll(); }};
    int subscription_ = 0;
};

} // namespace cantova::ui::qt
