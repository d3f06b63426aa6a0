#pragma once

// What one batch run works on: the platform stand-ins and both windows after start-up.

#include "app/program.h"
#include "jobs/library_loader.h"
#include "jobs/spawn_launcher.h"
#include "settings/file_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/state_access.h"
#include "ui/windows.h"

#include <ostream>
#include <string>
#include <vector>

namespace cantova::app {

// Message boxes become printed lines "message: CAPTION: TEXT".
class PrintedMessageBoxes : public ui::MessageBoxes {
public:
    PrintedMessageBoxes(std::ostream& out, bool answer) : out_(out), answer_(answer) {}
    void Show(const std::string& text, const std::string& caption, ui::MessageIcon icon) override;
    // How many warnings were shown: each tells of something refused.
    int warnings() const { return warnings_; }
    // Nobody can answer in a batch run: every question gets the answer given at the start (no,
    // unless the driver was told to replace files).
    void Ask(const std::string& text, const std::string& caption, Answer answered) override;

private:
    std::ostream& out_;
    bool answer_;
    int warnings_ = 0;
};

// The log is not opened in a viewer; its path is printed as "log: PATH".
class PrintedLogViewer : public jobs::LogViewer {
public:
    explicit PrintedLogViewer(std::ostream& out) : out_(out) {}
    void ShowLog(const std::string& path) override { out_ << "log: " << path << '\n'; }

private:
    std::ostream& out_;
};

// The clipboard's lines are printed, each as "clipboard: LINE".
class PrintedClipboard : public jobs::Clipboard {
public:
    explicit PrintedClipboard(std::ostream& out) : out_(out) {}
    void CopyLines(const std::vector<std::string>& lines) override;

private:
    std::ostream& out_;
};

// Exit with jobs in the list keeps them for the next start, the safe choice; the question and
// its answer are printed as a message.
class PrintedExitQuestion : public ExitQuestion {
public:
    // A dry run keeps nothing for the next start: its jobs are discarded.
    PrintedExitQuestion(std::ostream& out, bool dryRun) : out_(out), dryRun_(dryRun) {}
    void AskAboutJobs(int jobs, bool running, std::function<void(ExitChoice)> answer) override;
    void TellKept(int jobs) override;
    // Nobody can choose: the jobs are discarded, and notKept() tells that they were lost.
    ExitChoice TellNotKept(int jobs, const std::string& why) override;
    bool notKept() const { return notKept_; }

private:
    std::ostream& out_;
    bool dryRun_;
    bool notKept_ = false;
};

// How a batch run treats the files and processes of a run.
struct BatchOptions {
    // Print what would be run and deleted instead of doing it.
    bool dryRun = false;
    // Answer yes when a run would replace existing output files.
    bool overwrite = false;
    // Readable when the driver is asked to stop (-1: never).
    int stopDescriptor = -1;
    // How many jobs of a run may run at once.
    int jobsAtOnce = 1;
    // Where the job list is kept while the driver runs; empty: nowhere.
    std::string stateFolder = {};
    // Take back the jobs that programs which ended uncleanly (or kept them at Exit) left.
    bool restore = false;
};

class BatchSession {
public:
    BatchSession(std::ostream& out, const BatchOptions& options);

    std::ostream& out;
    BatchOptions options;
    settings::ScriptedFileDialogs dialogs;
    PrintedMessageBoxes messages{out, options.overwrite};
    jobs::SpawnLauncher spawnLauncher{options.stopDescriptor};
    jobs::DryRunLauncher dryRunLauncher{out};
    jobs::DryRunLogFiles dryRunLogFiles{out};
    PrintedLogViewer logViewer{out};
    PrintedClipboard clipboard{out};
    PrintedExitQuestion exitQuestion{out, options.dryRun};
    jobs::DlopenLibraryLoader libraries;
    Program program{{dialogs, messages,
                     options.dryRun ? static_cast<jobs::ProcessLauncher&>(dryRunLauncher)
                                    : static_cast<jobs::ProcessLauncher&>(spawnLauncher),
                     libraries, logViewer,
                     options.dryRun ? static_cast<jobs::TranscoderLogFiles&>(dryRunLogFiles)
                                    : jobs::SystemTranscoderLogFiles(),
                     jobs::SilentRunNotifier(), clipboard, options.stateFolder, !options.dryRun,
                     &exitQuestion}};
    ui::Windows& windows = program.windows;
    ui::StateAccess state{windows};
    ~BatchSession();

    // Delivers the events of the processes a step started, until none runs; then the job list is
    // saved, if a change was put off.
    void RunUntilIdle();
    // After a stop signal: when it ended a run, keeps the jobs not done for --restore (a dry run
    // keeps nothing) and tells what became of them as the rest of a sentence ("; 2 job(s) not
    // done are kept ..."); empty when there was nothing to keep.
    std::string KeepAfterStop();
    // Names on err the lists that earlier programs left and that could not be read (or only in
    // part), takes back their jobs (looks at them only, in a dry run) and says so; without
    // restore, only says that there are some.
    void TakeBackLeftJobs(std::ostream& err);

private:
    // A done job whose transcoder reported the output's levels: "sound: NAME: LEVELS".
    void printSound(const jobs::JobListChange& change);
    int queueSubscription_ = 0;
};

} // namespace cantova::app
