#pragma once

// A job's command line pasted back: the windows take the settings that give exactly that line.
// The line is first applied to windows of the program's own and built again there; only when it
// comes out the same do the program's windows take those settings, so a line that no setting
// gives changes nothing.

#include "cmdline/command_reading.h"
#include "jobs/library_loader.h"
#include "jobs/source_selection.h"
#include "settings/file_dialogs.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <optional>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

class SettingsFromCommand {
public:
    SettingsFromCommand(ui::Windows& windows, SourceSelection& sources, LibraryLoader& libraries,
                        settings::FileDialogs& dialogs, ui::MessageBoxes& messages,
                        const ui::RunPort& run)
        : windows_(windows), sources_(sources), libraries_(libraries), dialogs_(dialogs),
          messages_(messages), run_(run) {}

    // The source and output come from the line's -core( group, the target from the output's
    // extension. False, with a message naming the part no setting gives, when the line cannot be
    // applied: nothing has changed then.
    bool Apply(const std::string& line);

private:
    // The problem, or nothing with scratch holding the settings that give the line. The settings
    // go in as a profile load puts them; with gainFirst the gain mode is chosen before them, so
    // that its reaction cannot undo a switch of the line that a person set after choosing it.
    std::optional<std::string> ApplyTo(ui::Windows& scratch, const std::string& line,
                                       const cmdline::CommandReading& reading, bool gainFirst);

    ui::Windows& windows_;
    SourceSelection& sources_;
    LibraryLoader& libraries_;
    settings::FileDialogs& dialogs_;
    ui::MessageBoxes& messages_;
    const ui::RunPort& run_;
};

} // namespace cantova::jobs
