#pragma once

// Choosing the source: the open dialog behind the source button, and the selection of a path with
// the AC3 probe and its display, the delay from the file name and the job buttons.

#include "jobs/library_loader.h"
#include "settings/file_dialogs.h"
#include "ui/main_window_ports.h"
#include "ui/message_boxes.h"

#include <memory>
#include <string>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

// The source dialog's filter: the entries of the audio streams the transcoder reads, then one for
// all files.
std::string SourceDialogFilter();
// The file patterns of the audio entries ("*.ac3", ...): what counts as an audio file in a folder.
std::vector<std::string> SourceAudioPatterns();

class SourceSelection : public ui::SourcePort {
public:
    SourceSelection(ui::Windows& windows, settings::FileDialogs& dialogs, LibraryLoader& libraries,
                    ui::MessageBoxes& messages)
        : windows_(windows), dialogs_(dialogs), libraries_(libraries), messages_(messages) {}

    // The dialog; a cancelled dialog leaves the source, its values and the job list as they were.
    void Browse() override;
    // Takes path as the source, as a choice in the dialog does; false (with a message) when the
    // path cannot be a job's source, nothing changed.
    bool Select(const std::string& path);
    // For many sources selected one after the other: while the hold lives, the AC3 probe's
    // library stays loaded between them.
    std::unique_ptr<LibraryHold> HoldProbeLibrary();

private:
    ui::Windows& windows_;
    settings::FileDialogs& dialogs_;
    LibraryLoader& libraries_;
    ui::MessageBoxes& messages_;
};

} // namespace cantova::jobs
