#pragma once

#include "jobs/job_queue.h"

#include <optional>
#include <string>

namespace cantova::jobs {

// The command line a run gives the job, built as the run builds it (its settings file restored,
// the WAV channel flag of its stored mode) but in windows of its own, so that the program's
// windows do not change. Nothing for a copy job, which runs no transcoder, and for a job whose
// settings file cannot be read or names no job kind.
std::optional<std::string> CommandLineOfJob(const Job& job, const std::string& transcoderPath);

} // namespace cantova::jobs
