#pragma once

// The progress of the batch driver's runs, for the person or the log watching its error stream:
// on a terminal one line rewritten in place; otherwise a line when a job starts and each time it
// passes another tenth, so that a log file grows by a few lines per job.

#include "jobs/job_queue.h"
#include "jobs/job_runner.h"

#include <map>
#include <ostream>
#include <string>

namespace cantova::app {

class BatchProgress {
public:
    BatchProgress(jobs::JobQueue& queue, const jobs::JobRunner& runner, std::ostream& out,
                  bool terminal);
    ~BatchProgress();
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    // Ends the line rewritten on a terminal, once a run is over.
    void endLine();

private:
    void changed(const jobs::JobListChange& change);
    // A line for the job at the row when it has passed another tenth, or when it has just
    // finished after lines of its progress were printed.
    void printStep(const jobs::Job& job);
    void rewrite(const std::string& line);

    jobs::JobQueue& queue_;
    const jobs::JobRunner& runner_;
    std::ostream& out_;
    bool terminal_;
    int subscription_;
    // The tenth of each running job's progress printed last.
    std::map<int, int> printedTenth_;
    std::string shownLine_;
};

} // namespace cantova::app
