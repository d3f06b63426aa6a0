#pragma once

// The job list as it is kept on disk between sessions: each job's number, files, source, output,
// target, kind and status, and the files of the run that was going on. One "key=value" line per
// field, a "job" line opening each job; line breaks and backslashes inside values are escaped, so
// that any path survives.

#include "jobs/job_queue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantova::jobs {

struct SavedQueue {
    std::vector<Job> jobs;
    // The job file and the private folder of the run that was going on when the list was saved.
    std::optional<std::string> runJobFile;
    std::optional<std::string> runFolder;
    // Kept on purpose at the end of the program, rather than left behind by an unclean end.
    bool kept = false;
};

std::string FormatSavedQueue(const SavedQueue& saved);

// What could be read of a saved list's text.
struct SavedQueueReading {
    // The jobs that could be read whole, and the run's files when the lines before the first job
    // could be read.
    SavedQueue saved;
    // What was wrong, one reason each ("it is cut short", "job 2 has no valid status", ...);
    // empty for a sound list.
    std::vector<std::string> problems;
};

// Reads what can be read: a job with a field missing or wrong, or a line that is no field, is left
// out, and the others stay; lines ending in CR LF are read as if they ended in LF; a line cut short
// at the end is left out. Nothing is read of a text that is no job list or of another version.
// Unknown keys are passed over.
SavedQueueReading ReadSavedQueue(std::string_view text);

} // namespace cantova::jobs
