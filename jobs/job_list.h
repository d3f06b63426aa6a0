#pragma once

// The job list's actions: adding a job with the current settings (its settings file made and the
// job appended), deleting one, and moving one in the run order.

#include "jobs/job_queue.h"
#include "settings/atomic_write.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <set>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

class JobList : public ui::JobListPort {
public:
    JobList(ui::Windows& windows, JobQueue& queue, ui::MessageBoxes& messages)
        : windows_(windows), queue_(queue), messages_(messages) {}

    void AddJob() override;
    // For many jobs added together (a folder): their settings files reach the disk together, at
    // FlushAddedJobs, instead of one by one.
    void AddJobFlushedLater();
    void FlushAddedJobs();
    // The selected job, or the last one when none is selected; its settings file goes with it.
    void DeleteJob() override;
    // The selected job one place earlier or later in the run order; numbers and files stay.
    void MoveSelected(int offset);
    // For the end of the program: removes the settings files of the jobs a run left in the list
    // for a retry, as the end of a run would have. Jobs never run keep theirs.
    void DiscardRunLeftovers();

private:
    void refuse(const std::string& text);
    void addJob(settings::Flush flush);

    ui::Windows& windows_;
    JobQueue& queue_;
    ui::MessageBoxes& messages_;
    // Folders of settings files not flushed yet.
    std::set<std::string> unflushed_;
};

} // namespace cantova::jobs
