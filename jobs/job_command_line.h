#pragma once

// A job's transcoder command line, built whenever it is asked for, not only when the job starts:
// to show it, or copy it, before and while the job runs.

#include "jobs/job_queue.h"
#include "ui/job_kind.h"

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

// The command line the run builds for the job, from its settings file restored into a scratch
// copy of the windows (the program's own windows keep their state). Empty text when the job
// starts no transcoder (an AC3 source kept as it is) or its settings cannot be restored. With
// several jobs at once, the run names a log of the job's own instead of the transcoder log.
std::string CommandLineOfJob(const Job& job, const std::string& transcoderPath);

} // namespace cantova::jobs
