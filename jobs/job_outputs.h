#pragma once

// What a job leaves behind and why it failed, as the run reads them.

#include "jobs/job_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cantova::jobs {

// The path an output argument stands for (the argument without its quotes).
std::string OutputPathOf(const std::string& outputArgument);

// The files the job's transcoder writes: its output, or for a WAV job stored with six mono files
// the six channel files next to it (the stored mode is read from the job's settings file). None
// for a copy job.
std::vector<std::string> JobOutputFiles(const JobRecord& record);

// The files of the list that exist now (as a file, a folder or a link).
std::vector<std::string> ExistingPaths(const std::vector<std::string>& paths);

// The size of the file, 0 when it does not exist.
std::uintmax_t FileSizeOrZero(const std::string& path);

// Why the transcoder failed, as it says itself: the text after "result: FAILED, " of the last such
// line it appended to its log from logOffset on, else the last line of its error output; empty
// when neither says anything.
std::string FailureReason(const std::string& logPath, std::uintmax_t logOffset,
                          const std::string& errorOutput);

} // namespace cantova::jobs
