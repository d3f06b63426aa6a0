#pragma once

// The job file of a run (".task", INI syntax): the number of jobs and, per job,
// its settings file, source, output argument and copy marker.

#include "jobs/job_queue.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova::jobs {

// Writes the job file for the run's jobs into a new file, under name or the first free name made
// from it; the path of the file, or nothing when it could not be written.
std::optional<std::string> WriteJobFile(const std::vector<const Job*>& jobs,
                                        const std::string& name);

} // namespace cantova::jobs
