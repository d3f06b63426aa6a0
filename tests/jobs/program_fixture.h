#pragma once

// The program assembled with stand-ins for a person, the media library and the log viewer, and a
// launcher chosen by the test.

#include "app/program.h"
#include "stand_in_services.h"

#include <string>
#include <vector>

namespace cantova::test {

class RecordedLogViewer : public jobs::LogViewer {
public:
    void ShowLog(const std::string& path) override { shown.push_back(path); }
    std::vector<std::string> shown;
};

class RecordedNotifier : public jobs::RunNotifier {
public:
    void RunEnded(int done, int unfinished) override { ends.push_back({done, unfinished}); }
    std::vector<std::pair<int, int>> ends;
};

struct StandIns {
    settings::ScriptedFileDialogs dialogs;
    RecordedMessages messages;
    StandInLoader loader;
    RecordedLogViewer logViewer;
    RecordedNotifier notifier;
};

// A launcher that is built before the program that uses it (a base listed before TestProgram).
template <typename Launcher> struct LauncherBase { Launcher launcher; };

// The program on the given launcher; the stand-ins come first so that they outlive it.
struct TestProgram : StandIns {
    explicit TestProgram(jobs::ProcessLauncher& launcher)
        : program({dialogs, messages, launcher, loader, logViewer, jobs::SystemTranscoderLogFiles(),
                   notifier}) {}

    app::Program program;
    ui::Windows& windows = program.windows;
    ui::MainWindow& main = windows.frmMain;
};

} // namespace cantova::test
