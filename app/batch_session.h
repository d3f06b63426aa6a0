#pragma once

// What one batch run works on: the platform stand-ins and both windows after start-up.

#include "jobs/library_loader.h"
#include "jobs/spawn_launcher.h"
#include "settings/file_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/services.h"
#include "ui/state_access.h"
#include "ui/windows.h"

#include <ostream>

namespace cantova::app {

// Message boxes become printed lines "message: CAPTION: TEXT".
class PrintedMessageBoxes : public ui::MessageBoxes {
public:
    explicit PrintedMessageBoxes(std::ostream& out) : out_(out) {}
    void Show(const std::string& text, const std::string& caption, ui::MessageIcon icon) override;
    // Nobody can answer in a batch run: every question is answered no.
    bool Ask(const std::string& text, const std::string& caption) override;

private:
    std::ostream& out_;
};

// The log is not opened in a viewer; its path is printed as "log: PATH".
class PrintedLogViewer : public jobs::LogViewer {
public:
    explicit PrintedLogViewer(std::ostream& out) : out_(out) {}
    void ShowLog(const std::string& path) override { out_ << "log: " << path << '\n'; }

private:
    std::ostream& out_;
};

class BatchSession {
public:
    BatchSession(std::ostream& out, bool dryRun);

    std::ostream& out;
    bool dryRun;
    settings::ScriptedFileDialogs dialogs;
    PrintedMessageBoxes messages{out};
    jobs::SpawnLauncher spawnLauncher;
    jobs::DryRunLauncher dryRunLauncher{out};
    PrintedLogViewer logViewer{out};
    jobs::DlopenLibraryLoader libraries;
    ui::Services services{dialogs, messages, libraries,
                          dryRun ? static_cast<jobs::ProcessLauncher&>(dryRunLauncher)
                                 : static_cast<jobs::ProcessLauncher&>(spawnLauncher),
                          logViewer};
    ui::Windows windows{services};
    ui::StateAccess state{windows};
};

} // namespace cantova::app
