#include "gui/progress_pace.h"

namespace cantova::ui::qt {

ProgressPace::ProgressPace(jobs::JobQueue& queue) : queue_(queue) {
    subscription_ = queue_.subscribe([this](const jobs::JobListChange& change) {
        if (change.kind == jobs::JobListChange::Kind::Progressed) {
            pace_.request();
        }
    });
}

ProgressPace::~ProgressPace() {
    queue_.unsubscribe(subscription_);
}

int ProgressPace::follow(std::function<void()> show) {
    views_.emplace_back(nextId_, std::move(show));
    return nextId_++;
}

void ProgressPace::stopFollowing(int id) {
    std::erase_if(views_, [id](const auto& view) { return view.first == id; });
}

void ProgressPace::showAll() {
    const auto views = views_;
    for (const auto& [id, show] : views) {
        show();
    }
}

} // namespace cantova::ui::qt
