#pragma once

#include "jobs/process_launcher.h"
#include "jobs/run_services.h"

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace cantova::jobs {

// Starts programs with posix_spawnp and, in RunUntilIdle, waits for them with poll: their standard
// output and error output come through pipes, their end through a process descriptor, so a
// process a child left behind holding the pipes does not keep the wait. The output lines go only
// to the events, so the children's progress lines never mix into the batch driver's own output.
//
// A stop descriptor, when given, becomes readable when the program is asked to stop (the batch
// driver's signal pipe): every running child is then told to end as by Terminate, and programs
// started from then on end at once as stopped, without running.
class SpawnLauncher : public ProcessLauncher, public EventPump {
public:
    explicit SpawnLauncher(int stopDescriptor = -1);
    ~SpawnLauncher() override;
    SpawnLauncher(const SpawnLauncher&) = delete;
    SpawnLauncher& operator=(const SpawnLauncher&) = delete;

    ProcessId Start(const std::string& commandLine, ProcessEvents events) override;
    void Terminate(ProcessId process) override;
    void RunUntilIdle() override;

private:
    struct Child;
    using Clock = std::chrono::steady_clock;

    // Waits once for whatever comes first and handles it; the children that ended, in order.
    std::vector<ProcessId> waitOnce();
    void stopEverything();

    int stopDescriptor_;
    bool stopRequested_ = false;
    ProcessId nextId_ = 1;
    std::map<ProcessId, std::unique_ptr<Child>> children_;
    // Ends decided without waiting (a program that could not start, a stopped program).
    std::vector<std::pair<ProcessEvents, LaunchResult>> pending_;
};

// Prints "run: COMMAND LINE" instead of starting anything; each run ends at once as a success.
class DryRunLauncher : public ProcessLauncher, public EventPump {
public:
    explicit DryRunLauncher(std::ostream& out) : out_(out) {}
    ProcessId Start(const std::string& commandLine, ProcessEvents events) override;
    void Terminate(ProcessId) override {}
    void RunUntilIdle() override;

private:
    std::ostream& out_;
    ProcessId nextId_ = 1;
    std::vector<ProcessEvents> pending_;
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

} // namespace cantova::jobs
