#pragma once

// One command through the batch launcher, from its start to its end.

#include "jobs/spawn_launcher.h"

#include <string>
#include <vector>

namespace cantova::test {

struct Ended {
    jobs::LaunchResult result;
    std::vector<std::string> lines;
};

inline Ended RunToEnd(jobs::SpawnLauncher& launcher, const std::string& command) {
    Ended ended;
    jobs::ProcessEvents events;
    events.onOutputLine = [&](std::string_view line) { ended.lines.emplace_back(line); };
    events.onFinished = [&](const jobs::LaunchResult& result) { ended.result = result; };
    launcher.Start(command, std::move(events));
    launcher.RunUntilIdle();
    return ended;
}

} // namespace cantova::test
