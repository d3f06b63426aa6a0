#pragma once

#include "jobs/process_launcher.h"

#include <sys/types.h>

#include <ostream>
#include <string>
#include <vector>

namespace cantova::jobs {

// Starts the program with posix_spawnp and blocks in waitpid until it ends.
class SpawnLauncher : public ProcessLauncher {
public:
    LaunchResult ShellAndWait(const std::string& commandLine) override;
    void TerminateRunning() override;

private:
    pid_t running_ = 0;
};

// Prints "run: COMMAND LINE" instead of starting anything.
class DryRunLauncher : public ProcessLauncher {
public:
    explicit DryRunLauncher(std::ostream& out) : out_(out) {}
    LaunchResult ShellAndWait(const std::string& commandLine) override;
    void TerminateRunning() override {}

private:
    std::ostream& out_;
};

// Starts argv[0] (searched in PATH when it has no "/") with posix_spawnp; 0 when it cannot start.
pid_t SpawnProgram(const std::vector<std::string>& arguments);

} // namespace cantova::jobs
