#pragma once

// A process launcher that starts nothing: it records each command, and the test says when a
// process writes a line and when it ends, as the event loop would deliver it.

#include "jobs/process_launcher.h"

#include <string>
#include <vector>

namespace cantova::test {

class FakeLauncher : public jobs::ProcessLauncher {
public:
    struct Process {
        std::string command;
        jobs::ProcessEvents events;
        bool terminated = false;
        bool ended = false;
    };

    jobs::ProcessId Start(const std::string& commandLine, jobs::ProcessEvents events) override {
        processes.push_back({commandLine, std::move(events)});
        return static_cast<jobs::ProcessId>(processes.size());
    }
    void Terminate(jobs::ProcessId process) override { at(process).terminated = true; }

    // The processes that have not ended, by id, in the order they started.
    std::vector<jobs::ProcessId> running() const {
        std::vector<jobs::ProcessId> ids;
        for (std::size_t i = 0; i < processes.size(); ++i) {
            if (!processes[i].ended) {
                ids.push_back(static_cast<jobs::ProcessId>(i + 1));
            }
        }
        return ids;
    }
    void writeLine(jobs::ProcessId process, const std::string& line) {
        const jobs::ProcessEvents events = at(process).events;
        events.onOutputLine(line);
    }
    // Ends the process; one told to stop ends as stopped, by SIGTERM.
    void end(jobs::ProcessId process, int exitStatus = 0, const std::string& errorOutput = {}) {
        at(process).ended = true;
        jobs::LaunchResult result;
        result.started = true;
        result.stopped = at(process).terminated;
        result.signal = at(process).terminated ? 15 : 0;
        result.exitStatus = at(process).terminated ? 0 : exitStatus;
        result.errorOutput = errorOutput;
        // The events may start further processes, which grows the list.
        const jobs::ProcessEvents events = at(process).events;
        events.onFinished(result);
    }
    // Ends the process as one that could not start, for the reason given (an errno value).
    void failStart(jobs::ProcessId process, int startError) {
        at(process).ended = true;
        jobs::LaunchResult result;
        result.startError = startError;
        const jobs::ProcessEvents events = at(process).events;
        events.onFinished(result);
    }
    // Ends the first running process, as long as there is one, running the action before each.
    template <typename Action> void endAll(Action whileRunning) {
        while (!running().empty()) {
            whileRunning();
            if (!running().empty()) {
                end(running().front());
            }
        }
    }

    std::vector<Process> processes;

private:
    Process& at(jobs::ProcessId process) {
        return processes.at(static_cast<std::size_t>(process) - 1);
    }
};

} // namespace cantova::test
