#pragma once

// A job's own log (written apart while several jobs run at once) added to the run's log as one
// block. A log too long for the run's log keeps its beginning and its end, where the transcoder
// writes its result line, and says in between where and how much was left out.

#include <cstdint>
#include <string>

namespace cantova::jobs {

struct JobLogLimits {
    // The most of one job's log the run's log takes.
    std::uintmax_t maxBytes = 16 * 1024 * 1024;
    // How much of its end a shortened log keeps.
    std::uintmax_t tailBytes = 256 * 1024;
};

// Appends the job's log to the run's log in one write; false, with the reason in error, when it
// cannot be read or the run's log cannot be written. A job log that does not exist adds nothing.
bool AppendJobLog(const std::string& jobLog, const std::string& runLog, std::string& error,
                  const JobLogLimits& limits = {});

} // namespace cantova::jobs
