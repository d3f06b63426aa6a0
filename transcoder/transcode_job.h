#pragma once

#include "command/job_request.h"
#include "engines/progress_reporter.h"
#include "files/run_log.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace cantova {

// A job that could not be done; its message becomes the log's result line.
class JobFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a job that succeeded wrote.
struct JobResult {
    std::vector<std::string> files; // under their final names
    long long clippedSamples = 0;   // of the output, as its sound report counts them
};

// Runs the engines for the job and returns what it wrote.
// Throws JobFailure (or CommandLineError for a job that cannot be formed) and then leaves no
// output behind.
JobResult runTranscodeJob(const JobRequest& job, RunLog& log, ProgressReporter& progress);

// The length the output will have, from the source's length: split first, then the delay.
double expectedOutputSeconds(const JobRequest& job, double delayMs, double sourceSeconds);

} // namespace cantova
