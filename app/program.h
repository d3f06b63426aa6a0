#pragma once

// The program assembled: both windows after their load step, the job list, the runner, the source
// selection and the profile menu, connected to the main window and to the platform services the
// caller provides (the GUI's dialogs and processes, the batch driver's stand-ins, tests').

#include "jobs/clipboard.h"
#include "jobs/command_lines.h"
#include "jobs/file_intake.h"
#include "jobs/job_list.h"
#include "jobs/job_queue.h"
#include "jobs/job_runner.h"
#include "jobs/library_loader.h"
#include "jobs/process_launcher.h"
#include "jobs/run_observers.h"
#include "jobs/run_services.h"
#include "jobs/settings_before_run.h"
#include "jobs/settings_from_command.h"
#include "jobs/source_selection.h"
#include "settings/file_dialogs.h"
#include "settings/profile_menu.h"
#include "ui/message_boxes.h"
#include "ui/windows.h"

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
};

class Program {
public:
    // Loads the windows; the transcoder is looked for below the given program folder (by default
    // the folder of the running executable).
    explicit Program(const PlatformServices& services, const std::string& programFolder = {});
    // Jobs do not outlive the program: the files of those a run left for a retry go.
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
};

} // namespace cantova::app
