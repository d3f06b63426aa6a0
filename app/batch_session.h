#pragma once

// What one batch run works on: the platform stand-ins and both windows after start-up.

#include "jobs/library_loader.h"
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

class BatchSession {
public:
    BatchSession(std::ostream& out, bool dryRun);

    std::ostream& out;
    bool dryRun;
    settings::ScriptedFileDialogs dialogs;
    PrintedMessageBoxes messages{out};
    jobs::DlopenLibraryLoader libraries;
    ui::Services services{dialogs, messages, libraries};
    ui::Windows windows{services};
    ui::StateAccess state{windows};
};

} // namespace cantova::app
