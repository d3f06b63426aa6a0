#pragma once

// One command through the GUI's launcher, from its start to its end, the application's events
// coming meanwhile.

#include "gui/qt_process_launcher.h"

#include <QCoreApplication>

#include <optional>
#include <string>

namespace cantova::test {

inline jobs::LaunchResult RunToEnd(
    ui::qt::QtProcessLauncher& launcher, const std::string& command,
    const jobs::OutputLineHandler& onLine = [](std::string_view) {}) {
    std::optional<jobs::LaunchResult> ended;
    launcher.Start(command, {onLine, [&](const jobs::LaunchResult& result) { ended = result; }});
    while (!ended) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return *ended;
}

} // namespace cantova::test
