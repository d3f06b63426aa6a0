#include "app/program.h"

#include "app/transcoder_path.h"
#include "settings/paths.h"

namespace cantova::app {

namespace {

// The windows after the main window's load step, which creates the hidden job list elements the
// job queue mirrors into.
ui::Windows& Loaded(ui::Windows& windows, const std::string& programFolder) {
    windows.frmMain.Form_Load();
    windows.program.TranscoderPath =
        MakeTranscoderPath(programFolder.empty() ? settings::ProgramFolder() : programFolder);
    return windows;
}

} // namespace

Program::Program(const PlatformServices& services, const std::string& programFolder)
    : windows(services.messages), queue(Loaded(windows, programFolder).frmMain),
      jobList(windows, queue, services.messages),
      runner(windows, queue,
             {services.processes, services.messages, services.logViewer, services.logFiles}),
      runCaption(windows.frmMain, runner, queue), runEndNotice(runner, services.notifier),
      settingsBeforeRun(windows, runner, services.messages),
      sources(windows, services.dialogs, services.libraries, services.messages),
      profiles(windows, services.dialogs, services.messages),
      commandLines(windows, queue, services.clipboard, services.messages),
      settingsFromCommand(windows, sources, services.libraries, services.dialogs, services.messages,
                          runner),
      intake(sources, jobList, queue, runner, services.dialogs, services.messages),
      exitWithJobs(windows, queue, runner,
                   [this](JobsAtEnd jobsAtEnd) { return endWith(jobsAtEnd); }) {
    jobList.setFilesOutliveCrash(services.keepsList);
    if (!services.stateFolder.empty()) {
        keeper.emplace(queue, services.stateFolder, services.keepsList);
    }
    exitWithJobs.setQuestion(services.exitQuestion);
    windows.frmMain.connectPorts(
        {&sources, &jobList, &runner, &profiles, &commandLines, &exitWithJobs});
}

jobs::TakenBack Program::TakeBackLeftJobs(bool borrow) {
    if (!keeper) {
        return {};
    }
    const jobs::TakenBack taken = borrow ? keeper->Borrow() : keeper->TakeBack();
    ui::MainWindow& w = windows.frmMain;
    if (taken.jobs > 0 && !runner.InProgress()) {
        for (ui::Control* control : {static_cast<ui::Control*>(&w.CmdDelAudioJobList),
                                     static_cast<ui::Control*>(&w.cmdStartEncode),
                                     static_cast<ui::Control*>(&w.CmdClipboard)}) {
            control->setEnabled(true);
        }
    }
    return taken;
}

std::optional<std::string> Program::endWith(JobsAtEnd jobsAtEnd) {
    setJobsAtEnd(jobsAtEnd);
    if (jobsAtEnd != JobsAtEnd::KeepForNextStart) {
        return std::nullopt;
    }
    if (!keeper) {
        return std::string("no folder is set to keep the job list in");
    }
    return keeper->KeepForNextStart();
}

Program::~Program() {
    // Jobs that cannot be kept leave nothing behind that no list names.
    if (jobsAtEnd_ == JobsAtEnd::KeepForNextStart && keeper && !keeper->KeepForNextStart()) {
        return;
    }
    if (keeper) {
        keeper->DiscardAll();
    } else {
        jobList.DiscardSettingsFiles();
    }
}

} // namespace cantova::app
