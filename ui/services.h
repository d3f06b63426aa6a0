#pragma once

#include "jobs/process_launcher.h"
#include "settings/file_dialogs.h"
#include "ui/message_boxes.h"

namespace cantova::ui {

// The platform services the window models use, so that tests and the batch
// driver can stand in for a person.
struct Services {
    settings::FileDialogs& dialogs;
    MessageBoxes& messages;
    jobs::ProcessLauncher& processes;
    jobs::LogViewer& logViewer;
};

} // namespace cantova::ui
