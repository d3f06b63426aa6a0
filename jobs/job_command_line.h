#pragma once

// A job's transcoder command line, built whenever it is asked for, not only when the job starts:
// to show it, or copy it, before and while the job runs.

#include "jobs/job_queue.h"
#include "ui/job_kind.h"

#include <optional>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

// The command of a job whose settings the windows hold (restored from its settings file, which
// gave kind): the job's source and output, and for a WAV target the channel switch of the job's
// own WAV mode. The log is the transcoder log of the user's home folder unless another is given.
std::string CommandOfRestoredJob(const ui::Windows& windows, const Job& job, ui::JobKind kind,
                                 const std::string& logPath = {});

// The command line a run gives the job, built as the run builds it but in windows of its own, so
// that the program's windows do not change. Nothing for a copy job, which runs no transcoder, and
// for a job whose settings file cannot be read or names no job kind. With several jobs at once,
// the run names a log of the job's own instead of the transcoder log.
std::optional<std::string> CommandLineOfJob(const Job& job, const std::string& transcoderPath);

} // namespace cantova::jobs
