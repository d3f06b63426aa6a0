#include "gui/paced_action.h"

namespace cantova::ui::qt {

PacedAction::PacedAction(std::chrono::milliseconds interval, std::function<void()> action)
    : action_(std::move(action)) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(interval);
    QObject::connect(&quiet_, &QTimer::timeout, &quiet_, [this] {
        if (waiting_) {
            run();
        }
    });
}

void PacedAction::request() {
    if (quiet_.isActive()) {
        waiting_ = true;
    } else {
        run();
    }
}

void PacedAction::runNow() {
    run();
}

void PacedAction::run() {
    waiting_ = false;
    quiet_.start();
    action_();
}

} // namespace cantova::ui::qt
