#pragma once

// Taking several sources at once: files dropped on the main window or chosen together in a dialog,
// and folders, of which the audio files are taken in name order. Each file is selected as the
// source in turn, as the source dialog would select it, and added as a job with the settings of
// the moment (many files through a driver, a few at a time). While a run goes on, the source and
// the job list are locked and nothing is taken.

#include "jobs/job_adding.h"
#include "jobs/job_list.h"
#include "jobs/job_queue.h"
#include "jobs/source_selection.h"
#include "settings/file_dialogs.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cantova::jobs {

// The visible regular files directly in folder (no name that begins with ".") whose names match
// one of the patterns ("*.ac3": the name ends in ".ac3", without regard to case), sorted by name.
// False, with the reason in error, when the folder cannot be read.
bool AudioFilesInFolder(const std::string& folder, const std::vector<std::string>& patterns,
                        std::vector<std::string>& files, std::string& error);

class FileIntake {
public:
    // Takes over an add of many files, to add them a few at a time (the GUI's event loop).
    using AddDriver = std::function<void(std::shared_ptr<JobAdding>)>;
    // Adds of more files than this go to the driver, when there is one.
    static constexpr int kFilesAddedAtOnce = 200;

    FileIntake(SourceSelection& sources, JobList& jobList, const JobQueue& queue,
               const ui::RunPort& run, settings::FileDialogs& dialogs, ui::MessageBoxes& messages)
        : sources_(sources), jobList_(jobList), queue_(queue), run_(run), dialogs_(dialogs),
          messages_(messages) {}

    // False while a run goes on.
    bool accepting() const { return !run_.InProgress(); }
    // Dropped paths: a single file becomes the source; several files, or folders, become jobs.
    void Drop(const std::vector<std::string>& paths);
    // One job per file, and per audio file of each folder, in the order given; a file that cannot
    // be selected or added is reported and the others still go on. The number of jobs added (so
    // far, for an add handed to the driver).
    int AddFilesAsJobs(const std::vector<std::string>& paths);
    void setAddDriver(AddDriver driver) { driver_ = std::move(driver); }
    // The dialog for several source files; the chosen ones are added as jobs.
    void ChooseFilesAsJobs();

private:
    bool refusedDuringRun();
    // The files the paths stand for, folders replaced by their audio files; folders that give
    // none are reported.
    std::vector<std::string> expand(const std::vector<std::string>& paths);

    SourceSelection& sources_;
    JobList& jobList_;
    AddDriver driver_;
    const JobQueue& queue_;
    const ui::RunPort& run_;
    settings::FileDialogs& dialogs_;
    ui::MessageBoxes& messages_;
};

} // namespace cantova::jobs
