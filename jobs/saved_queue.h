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

// Nothing when the text is not a saved job list (wrong first line, a job without a settings file
// or source, an unknown status or kind); unknown keys are passed over.
std::optional<SavedQueue> ParseSavedQueue(std::string_view text);

} // namespace cantova::jobs
