#pragma once

// Starting a command line as a child process and waiting for its end, as a
// platform service: the GUI keeps its event loop running while it waits, the
// batch driver blocks, a dry run only prints.

#include "jobs/output_lines.h"

#include <string>

namespace cantova::jobs {

struct LaunchResult {
    bool started = false;
    // Exit status of a process that ended normally.
    int exitStatus = 0;
    // The signal that ended the process, 0 when it exited.
    int signal = 0;
    // The wait ended because the process was told to stop (TerminateRunning, a stop signal to
    // the program, or the program being asked to quit); whatever it returned, the job did not
    // finish and the run should end.
    bool stopped = false;
    // The last lines of what the process wrote to its error output.
    std::string errorOutput;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Splits the command line with the Windows command-line rules and starts the
    // program directly (never through a shell), then waits until it has ended. Each line the
    // process writes to its standard output goes to onOutputLine while it runs. The wait ends
    // when the process has ended, even when a child it left behind still holds its output.
    virtual LaunchResult ShellAndWait(const std::string& commandLine,
                                      const OutputLineHandler& onOutputLine) = 0;
    // Asks the process that is being waited for, if any, to end.
    virtual void TerminateRunning() = 0;
};

// Shows the transcoder log to the user and returns when the viewer is closed.
class LogViewer {
public:
    virtual ~LogViewer() = default;
    virtual void ShowLog(const std::string& path) = 0;
};

// The transcoder log as a run handles it: the old log is removed before the run, and the new one
// is looked for afterwards.
class TranscoderLogFiles {
public:
    virtual ~TranscoderLogFiles() = default;
    virtual void RemoveOld(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
};

// The log files as they are on disk.
TranscoderLogFiles& SystemTranscoderLogFiles();

// A blocking launcher for callers that bring none of their own.
ProcessLauncher& SystemProcessLauncher();

// Shows nothing: for callers without a viewer, such as tests of other concerns.
LogViewer& SilentLogViewer();

} // namespace cantova::jobs
