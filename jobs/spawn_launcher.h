#pragma once

#include "jobs/process_launcher.h"

#include <sys/types.h>

#include <ostream>
#include <string>
#include <vector>

namespace cantova::jobs {

// Starts the program with posix_spawnp and blocks until it has ended, reading its standard output
// and error output from pipes meanwhile. The output lines go only to the handler, so the child's
// progress lines never mix into the batch driver's own output. The wait ends when the child has
// ended, also when a process it left behind still holds the pipes.
//
// A stop descriptor, when given, is a descriptor that becomes readable when the program is asked
// to stop (the batch driver's signal pipe): the running child is then told to end as by
// TerminateRunning, and the job counts as stopped.
class SpawnLauncher : public ProcessLauncher {
public:
    explicit SpawnLauncher(int stopDescriptor = -1) : stopDescriptor_(stopDescriptor) {}
    LaunchResult ShellAndWait(const std::string& commandLine,
                              const OutputLineHandler& onOutputLine) override;
    // Sends SIGTERM; a child that is still there after a grace period gets SIGKILL.
    void TerminateRunning() override;

private:
    int stopDescriptor_;
    pid_t running_ = 0;
    bool stopRequested_ = false;
};

// A dry run's log: the old log is not removed but "delete: PATH" is printed, and from then on the
// run behaves as if it were gone.
class DryRunLogFiles : public TranscoderLogFiles {
public:
    explicit DryRunLogFiles(std::ostream& out) : out_(out) {}
    void RemoveOld(const std::string& path) override;
    bool Exists(const std::string& path) override;

private:
    std::ostream& out_;
    std::vector<std::string> removed_;
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
