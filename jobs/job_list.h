#pragma once

// The job list's actions: adding a job with the current settings (its settings file made and the
// job appended), deleting one, and moving one in the run order.

#include "jobs/job_queue.h"
#include "settings/atomic_write.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

// Why no job of the source can be added with that output folder (empty: beside the source): the
// transcoder command line cannot carry the folder's path (a double quote in it), or the folder
// where its outputs and files would go cannot be written. The text names the setting.
std::optional<std::string> OutputFolderProblem(const std::string& source,
                                               const std::optional<std::string>& outputFolder);

class JobList : public ui::JobListPort {
public:
    // Asks for an output folder without waiting: chosen gets the folder once, empty text when the
    // question was cancelled.
    using OutputFolderQuestion =
        std::function<void(const std::string& source, std::function<void(std::string)> chosen)>;

    JobList(ui::Windows& windows, JobQueue& queue, ui::MessageBoxes& messages)
        : windows_(windows), queue_(queue), messages_(messages) {}

    // A source whose folder cannot be written needs an output folder: with a question, the
    // person is asked for one and the job is added once it is chosen; else the add is refused.
    void AddJob() override;
    void setOutputFolderQuestion(OutputFolderQuestion ask) { askOutputFolder_ = std::move(ask); }
    // For many jobs added together (a folder): their settings files reach the disk together, at
    // FlushAddedJobs, instead of one by one.
    void AddJobFlushedLater();
    void FlushAddedJobs();
    // Whether new settings files must reach the disk (the default): only a saved job list can
    // name them after a crash. Without one (a dry run) they go when the program ends, and writing
    // them through would only cost time, and the file system more work to remove them again.
    void setFilesOutliveCrash(bool outlive) { filesOutliveCrash_ = outlive; }
    // The selected job, or the last one when none is selected; its settings file goes with it.
    void DeleteJob() override;
    // The selected job one place earlier or later in the run order; numbers and files stay.
    void MoveSelected(int offset);
    // For the end of the program: removes the settings files of the jobs in the list.
    void DiscardSettingsFiles();

private:
    void refuse(const std::string& text);
    void addJob(settings::Flush flush);
    // A relative output folder is made absolute in the window: the saved list and the job's
    // files then name the same folder from wherever the next start runs.
    void makeOutputFolderAbsolute();

    ui::Windows& windows_;
    JobQueue& queue_;
    ui::MessageBoxes& messages_;
    OutputFolderQuestion askOutputFolder_;
    bool askingOutputFolder_ = false;
    bool filesOutliveCrash_ = true;
    // Folders of settings files not flushed yet.
    std::set<std::string> unflushed_;
};

} // namespace cantova::jobs
