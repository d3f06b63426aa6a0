#pragma once

#include "jobs/library_loader.h"
#include "jobs/process_launcher.h"
#include "settings/file_dialogs.h"
#include "ui/message_boxes.h"

namespace cantova::ui {

// The platform services the window models use, so that tests and the batch
// driver can stand in for a person.
struct Services {
    settings::FileDialogs& dialogs;
    MessageBoxes& messages;
    jobs::LibraryLoader& libraries = jobs::SystemLibraryLoader();
    // Blocking child processes unless the program provides its own.
    jobs::ProcessLauncher& processes = jobs::SystemProcessLauncher();
    jobs::LogViewer& logViewer = jobs::SilentLogViewer();
    jobs::TranscoderLogFiles& logFiles = jobs::SystemTranscoderLogFiles();
};

} // namespace cantova::ui
