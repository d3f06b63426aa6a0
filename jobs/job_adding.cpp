#include "jobs/job_adding.h"

namespace cantova::jobs {

void JobAdding::addNext(int count) {
    for (; count > 0 && next_ < files_.size(); --count) {
        const std::string& file = files_[next_++];
        if (!sources_.Select(file, language_)) {
            continue;
        }
        const int before = queue_.count();
        jobList_.AddJobFlushedLater();
        added_ += queue_.count() - before;
    }
    if (finished()) {
        jobList_.FlushAddedJobs();
    }
}

void JobAdding::cancel() {
    next_ = files_.size();
    jobList_.FlushAddedJobs();
}

} // namespace cantova::jobs
