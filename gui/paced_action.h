#pragma once

// An action run at most once per interval however often it is asked for: a request after a quiet
// interval runs it at once; requests within the interval after a run are served by one more run
// at its end. Nothing runs while nothing is asked for. For showing progress that may change many
// times a second without repainting each time.

#include <QTimer>

#include <chrono>
#include <functional>

namespace cantova::ui::qt {

class PacedAction {
public:
    PacedAction(std::chrono::milliseconds interval, std::function<void()> action);
    PacedAction(const PacedAction&) = delete;
    PacedAction& operator=(const PacedAction&) = delete;

    void request();
    // Runs the action now (it was needed at once), which also serves the requests waiting.
    void runNow();

private:
    void run();

    std::function<void()> action_;
    QTimer quiet_;
    bool waiting_ = false;
};

// How often the job table and the status line show a running job's new percentage.
inline constexpr std::chrono::milliseconds kProgressPace{1000};

} // namespace cantova::ui::qt
