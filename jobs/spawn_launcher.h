#pragma once

#include "jobs/process_launcher.h"

#include <sys/types.h>

#include <ostream>
#include <string>

namespace cantova::jobs {

// Starts the program with posix_spawnp, reads its standard output from a pipe until the pipe
// closes, then blocks in waitpid until it ends. The output lines go only to the handler, so the
// child's progress lines never mix into the batch driver's own output.
class SpawnLauncher : public ProcessLauncher {
public:
    LaunchResult ShellAndWait(const std::string& commandLine,
                              const OutputLineHandler& onOutputLine) override;
    void TerminateRunning() override;

private:
    pid_t running_ = 0;
    bool stopRequested_ = false;
};

// Prints "run: COMMAND LINE" instead of starting anything.
class DryRunLauncher : public ProcessLauncher {
public:
    explicit DryRunLauncher(std::ostream& out) : out_(out) {}
    LaunchResult ShellAndWait(const std::string& commandLine,
                              const OutputLineHandler& onOutputLine) override;
    void TerminateRunning() override {}

private:
    std::ostream& out_;
};

} // namespace cantova::jobs
