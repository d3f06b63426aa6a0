#pragma once

// The end of a run as a desktop notification: a freedesktop notification over the session bus.
// The call goes out without waiting for an answer; where no session bus or no notification
// service runs, nothing happens.

#include "jobs/run_services.h"

namespace cantova::ui::qt {

class DesktopNotifier final : public jobs::RunNotifier {
public:
    void RunEnded(int doneJobs, int unfinishedJobs) override;
};

} // namespace cantova::ui::qt
