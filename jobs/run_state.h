#pragma once

// The states of a run and the one table of the moves between them. A run starts (checks and
// files), runs its jobs, drains (Stop After Current: the running jobs finish, no other starts) or
// stops (Stop Now: the running jobs are ended), and finishes (its files and report) before the
// runner is idle again.

#include <optional>
#include <string>

namespace cantova::jobs {

enum class RunState { Idle, Starting, Running, Draining, Stopping, Finishing };

// What happens to a run.
enum class RunEvent {
    Start,            // Start or Retry Failed was chosen
    Refused,          // a check or a file of the start failed: nothing runs
    Launched,         // the start is done, the jobs run
    StopAfterCurrent, // the user lets the running jobs finish and starts no other
    StopNow,          // the user (or a stop request to the program) ends the running jobs
    NothingLeft,      // no job runs and none is left to start
    Finished,         // the run's files are removed and its report is out
};

// "idle", "starting", "running", "draining", "stopping", "finishing".
std::string RunStateName(RunState state);

// The state the event leads to from state; none where the event means nothing there (Stop Now
// while idle, Stop After Current while stopping already, ...).
std::optional<RunState> NextRunState(RunState state, RunEvent event);

// Whether jobs of a run may still be started or be running.
bool RunInProgress(RunState state);

} // namespace cantova::jobs
