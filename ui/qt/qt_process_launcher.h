#pragma once

#include "jobs/process_launcher.h"

#include <QProcess>

namespace cantova::ui::qt {

// Starts the program with QProcess (no shell) and waits in a nested event
// loop, so that the windows keep repainting and answering while a job runs.
class QtProcessLauncher : public jobs::ProcessLauncher {
public:
    jobs::LaunchResult ShellAndWait(const std::string& commandLine) override;
    void TerminateRunning() override;

private:
    QProcess* running_ = nullptr;
};

} // namespace cantova::ui::qt
