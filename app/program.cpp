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
      intake(sources, jobList, queue, runner, services.dialogs, services.messages) {
    windows.frmMain.connectPorts({&sources, &jobList, &runner, &profiles, &commandLines});
}

Program::~Program() {
    jobList.DiscardRunLeftovers();
}

} // namespace cantova::app
