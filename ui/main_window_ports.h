#pragma once

// What the main window hands on to the parts of the program that pick the source, keep the job
// list, run it and keep profiles. The window's buttons and menu items call these; the program
// connects the parts when it assembles the windows.

#include <string>

namespace cantova::ui {

class SourcePort {
public:
    virtual ~SourcePort() = default;
    // The source button: the open dialog, then the selection of the chosen file.
    virtual void Browse() = 0;
    // The track list's choice: the information line and the AC3 target follow the chosen track.
    virtual void TrackChosen() = 0;
};

class JobListPort {
public:
    virtual ~JobListPort() = default;
    virtual void AddJob() = 0;
    virtual void DeleteJob() = 0;
};

class RunPort {
public:
    virtual ~RunPort() = default;
    // The Start button.
    virtual void Start() = 0;
    virtual bool InProgress() const = 0;
};

class ProfilePort {
public:
    virtual ~ProfilePort() = default;
    virtual void Save() = 0;
    virtual void Load() = 0;
};

class CommandLinePort {
public:
    virtual ~CommandLinePort() = default;
    // The Clipboard button: the command lines of the job list go to the clipboard.
    virtual void CopyCommandLines() = 0;
};

class ExitPort {
public:
    virtual ~ExitPort() = default;
    // Exit asked for: true when the program may end now; false when it stays, at least until a
    // question about the run and the jobs in the list has been answered and a run stopped (an
    // answer that lets it end unloads the main window then).
    virtual bool MayExit() = 0;
};

struct MainWindowPorts {
    SourcePort* source = nullptr;
    JobListPort* jobs = nullptr;
    RunPort* run = nullptr;
    ProfilePort* profiles = nullptr;
    CommandLinePort* commandLines = nullptr;
    ExitPort* exit = nullptr;
};

} // namespace cantova::ui
