#pragma once

// Starting a command line as a child process and waiting for its end, as a
// platform service: the GUI keeps its event loop running while it waits, the
// batch driver blocks, a dry run only prints.

#include <string>

namespace cantova::jobs {

struct LaunchResult {
    bool started = false;
    // Exit status of a process that ended normally; -1 when it was killed by a signal.
    int exitStatus = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Splits the command line with the Windows command-line rules and starts the
    // program directly (never through a shell), then waits until it has ended.
    virtual LaunchResult ShellAndWait(const std::string& commandLine) = 0;
    // Ends the process that is being waited for, if any.
    virtual void TerminateRunning() = 0;
};

// Shows the transcoder log to the user and returns when the viewer is closed.
class LogViewer {
public:
    virtual ~LogViewer() = default;
    virtual void ShowLog(const std::string& path) = 0;
};

// A blocking launcher for callers that bring none of their own.
ProcessLauncher& SystemProcessLauncher();

// Shows nothing: for callers without a viewer, such as tests of other concerns.
LogViewer& SilentLogViewer();

} // namespace cantova::jobs
