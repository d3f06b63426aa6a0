#pragma once

// Sources being added as jobs one after the other, each selected as the source dialog would
// select it (with the track in the language chosen before) and added with the settings of the
// moment. A program with an event loop adds them a
// few at a time, showing how far it has come between, and may cancel the rest.

#include "jobs/job_list.h"
#include "jobs/job_queue.h"
#include "jobs/source_selection.h"

#include <string>
#include <vector>

namespace cantova::jobs {

class JobAdding {
public:
    JobAdding(std::vector<std::string> files, SourceSelection& sources, JobList& jobList,
              const JobQueue& queue)
        : files_(std::move(files)), sources_(sources), jobList_(jobList), queue_(queue),
          language_(sources.ChosenTrackLanguage()) {}
    JobAdding(const JobAdding&) = delete;
    JobAdding& operator=(const JobAdding&) = delete;

    int total() const { return static_cast<int>(files_.size()); }
    // Files taken so far, whether they became jobs or were refused.
    int done() const { return static_cast<int>(next_); }
    int added() const { return added_; }
    bool finished() const { return next_ == files_.size(); }

    // Takes up to count more files; once the last is taken the new jobs' settings files are
    // written through to the disk.
    void addNext(int count);
    // Takes no more files; the jobs added so far stay, their settings files written through.
    void cancel();

private:
    std::vector<std::string> files_;
    SourceSelection& sources_;
    JobList& jobList_;
    const JobQueue& queue_;
    // The language of the track chosen when the add began: each file starts with its track in
    // that language where it has one.
    std::string language_;
    std::size_t next_ = 0;
    int added_ = 0;
};

} // namespace cantova::jobs
