#pragma once

#include "jobs/process_launcher.h"

#include <QProcess>

namespace cantova::ui::qt {

// Starts the program with QProcess (no shell) and waits in a nested event loop, so that the
// windows keep repainting and answering while a job runs. The child's standard output is read
// as it comes and handed on line by line; its error output goes where the GUI's own goes.
//
// The wait ends only when the child has ended. When the application is asked to quit during the
// wait, the child is stopped first and the job reported as stopped, never as a success.
class QtProcessLauncher : public jobs::ProcessLauncher {
public:
    jobs::LaunchResult ShellAndWait(const std::string& commandLine,
                                    const jobs::OutputLineHandler& onOutputLine) override;
    // Sends SIGTERM; a child that is still there after a short grace period gets SIGKILL.
    void TerminateRunning() override;

private:
    QProcess* running_ = nullptr;
    bool stopping_ = false;
};

} // namespace cantova::ui::qt
