#pragma once

// Starting a command line as a child process, as a platform service: the GUI's launcher delivers
// the child's output and end through Qt's event loop, the batch driver's through a loop of its
// own, and a dry run only prints.

#include "jobs/output_lines.h"

#include <cerrno>
#include <functional>
#include <string>

namespace cantova::jobs {

struct LaunchResult {
    bool started = false;
    // Exit status of a process that ended normally.
    int exitStatus = 0;
    // The signal that ended the process, 0 when it exited.
    int signal = 0;
    // The process was told to stop (Terminate, a stop request to the program, or the program
    // quitting); whatever it returned, the job did not finish.
    bool stopped = false;
    // The last lines of what the process wrote to its error output.
    std::string errorOutput;
    // Why a process that did not start could not (an errno value), 0 when not known.
    int startError = 0;
};

// Whether a start failed for want of processes or open files, which a job that ends frees.
inline bool IsResourceShortage(int startError) {
    return startError == EMFILE || startError == ENFILE || startError == EAGAIN;
}

struct ProcessEvents {
    // Each line the process writes to its standard output, while it runs.
    OutputLineHandler onOutputLine;
    // Once, when the process has ended (or could not start).
    std::function<void(const LaunchResult&)> onFinished;
};

using ProcessId = int;

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Splits the command line with the Windows command-line rules and starts the program
    // directly (never through a shell), then returns at once. The events come later from the
    // program's event loop, never from within Start; a program that cannot start ends with
    // started false. The process counts as ended when it has exited, even when a process it left
    // behind still holds its output.
    virtual ProcessId Start(const std::string& commandLine, ProcessEvents events) = 0;
    // Asks the process to end (SIGTERM; SIGKILL after a grace period); it then ends as stopped.
    virtual void Terminate(ProcessId process) = 0;
};

// A launcher without an event loop of its own (the batch driver's): whoever drives it has it
// deliver events until no process runs and nothing is left to deliver.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void RunUntilIdle() = 0;
};

} // namespace cantova::jobs
