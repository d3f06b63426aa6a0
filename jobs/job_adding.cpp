#include "jobs/job_adding.h"

#include "jobs/source_path_rules.h"

namespace cantova::jobs {

void JobAdding::addNext(int count) {
    for (; count > 0 && next_ < files_.size(); --count) {
        const std::string& file = files_[next_++];
        if (!probeHold_ &&
            (SourceExtension(file) == ".AC3" || SourceKindOf(file) != SourceKind::Stream)) {
            probeHold_ = sources_.HoldProbeLibrary();
        }
        if (!sources_.Select(file, language_)) {
            continue;
        }
        const int before = queue_.count();
        jobList_.AddJobFlushedLater();
        added_ += queue_.count() - before;
    }
    if (finished()) {
        probeHold_.reset();
        jobList_.FlushAddedJobs();
    }
}

void JobAdding::cancel() {
    next_ = files_.size();
    probeHold_.reset();
    jobList_.FlushAddedJobs();
}

} // namespace cantova::jobs
