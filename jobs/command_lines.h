#pragma once

// The command lines Start would run, for the user to see and copy: one per job of the list, in
// list order, each built from the job's settings file without touching the windows.

#include "cmdline/command_forms.h"
#include "jobs/clipboard.h"
#include "jobs/job_queue.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <string>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

struct ListedCommand {
    // What the line belongs to: "Job 2 (track.ac3)", or the current settings.
    std::string label;
    std::string line;
};

struct CommandListing {
    std::vector<ListedCommand> commands;
    // What gave no line, and why.
    std::vector<std::string> problems;
};

// The listing with every line in form; a line that has no such form becomes a problem.
CommandListing InForm(const CommandListing& listing, cmdline::CommandForm form);

class CommandLines : public ui::CommandLinePort {
public:
    CommandLines(const ui::Windows& windows, const JobQueue& queue, Clipboard& clipboard,
                 ui::MessageBoxes& messages)
        : windows_(windows), queue_(queue), clipboard_(clipboard), messages_(messages) {}

    // A line per job of the list (a copy job gives none); with an empty list, the line the current
    // settings give as job 1.
    CommandListing List() const;
    // The Clipboard button: the listed lines onto the clipboard; what gave no line is shown.
    void CopyCommandLines() override;

private:
    CommandListing ListCurrentSettings() const;

    const ui::Windows& windows_;
    const JobQueue& queue_;
    Clipboard& clipboard_;
    ui::MessageBoxes& messages_;
};

} // namespace cantova::jobs
