#pragma once

// The program assembled: both windows after their load step, the job list, the runner, the source
// selection and the profile menu, connected to the main window and to the platform services the
// caller provides (the GUI's dialogs and processes, the batch driver's stand-ins, tests').

#include "app/exit_with_jobs.h"
#include "jobs/clipboard.h"
#include "jobs/command_lines.h"
#include "jobs/file_intake.h"
#include "jobs/job_list.h"
#include "jobs/job_queue.h"
#include "jobs/job_runner.h"
#include "jobs/library_loader.h"
#include "jobs/process_launcher.h"
#include "jobs/queue_keeper.h"
#include "jobs/run_observers.h"
#include "jobs/run_services.h"
#include "jobs/settings_before_run.h"
#include "jobs/settings_from_command.h"
#include "jobs/source_selection.h"
#include "settings/file_dialogs.h"
#include "settings/profile_menu.h"
#include "ui/message_boxes.h"
#include "ui/windows.h"

#include <optional>
#include <string>

namespace cantova::app {

struct PlatformServices {
    settings::FileDialogs& dialogs;
    ui::MessageBoxes& messages;
    jobs::ProcessLauncher& processes;
    jobs::LibraryLoader& libraries = jobs::SystemLibraryLoader();
    jobs::LogViewer& logViewer = jobs::SilentLogViewer();
    jobs::TranscoderLogFiles& logFiles = jobs::SystemTranscoderLogFiles();
    jobs::RunNotifier& notifier = jobs::SilentRunNotifier();
    jobs::Clipboard& clipboard = jobs::NoClipboard();
    // Where the job list is kept while the program runs, so that the next start can take it back
    // after a crash; empty: nowhere.
    std::string stateFolder = {};
    // Whether the program keeps a list there (a dry run only finds the lists left by others).
    bool keepsList = true;
    // Asks at Exit what becomes of the jobs in the list; none: they are kept.
    ExitQuestion* exitQuestion = nullptr;
};

class Program {
public:
    // Loads the windows; the transcoder is looked for below the given program folder (by default
    // the folder of the running executable).
    explicit Program(const PlatformServices& services, const std::string& programFolder = {});
    // Jobs in the list at the end are kept for the next start or discarded with their settings
    // files, as decided (by default discarded); jobs that cannot be kept are discarded.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ui::Windows windows;
    jobs::JobQueue queue;
    jobs::JobList jobList;
    jobs::JobRunner runner;
    // The window's caption and the notification follow the run.
    jobs::RunCaption runCaption;
    jobs::RunEndNotice runEndNotice;
    // What the windows showed when the last run started, to be put back after it.
    jobs::SettingsBeforeRun settingsBeforeRun;
    jobs::SourceSelection sources;
    settings::ProfileMenu profiles;
    jobs::CommandLines commandLines;
    jobs::SettingsFromCommand settingsFromCommand;
    // Dropped files and files added as jobs together.
    jobs::FileIntake intake;
    // The saved job list, when the program keeps one.
    std::optional<jobs::QueueKeeper> keeper;
    ExitWithJobs exitWithJobs;

    // Takes back the jobs that earlier programs left (borrow: only into the list, for a dry run)
    // and makes them startable, as a chosen source makes jobs startable.
    jobs::TakenBack TakeBackLeftJobs(bool borrow = false);

    // What becomes of the jobs in the list when the program ends.
    void setJobsAtEnd(JobsAtEnd jobsAtEnd) { jobsAtEnd_ = jobsAtEnd; }
    // The same, carried out for keeping at once: why the jobs could not be kept.
    std::optional<std::string> endWith(JobsAtEnd jobsAtEnd);

private:
    JobsAtEnd jobsAtEnd_ = JobsAtEnd::Discard;
};

} // namespace cantova::app
