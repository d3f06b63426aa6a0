#pragma once

#include "jobs/process_launcher.h"

#include <QObject>
#include <QPointer>
#include <QProcess>

#include <map>
#include <memory>
#include <vector>

namespace cantova::ui::qt {

// Starts programs with QProcess (no shell); their output and end arrive as Qt events, so the
// windows keep repainting and answering while jobs run and nothing waits. A child's standard
// output is handed on line by line, its error output kept for the report.
//
// A child still running when the launcher goes is killed.
class QtProcessLauncher : public QObject, public jobs::ProcessLauncher {
public:
    QtProcessLauncher();
    ~QtProcessLauncher() override;

    jobs::ProcessId Start(const std::string& commandLine, jobs::ProcessEvents events) override;
    // Sends SIGTERM; a child that is still there after a short grace period gets SIGKILL.
    void Terminate(jobs::ProcessId process) override;

    // For the application's end: tells every running child to stop and waits for each (killing
    // it after the grace period); each ends as stopped, never as a success.
    void StopAllAndWait();

private:
    struct Child;
    void finish(jobs::ProcessId process);

    jobs::ProcessId nextId_ = 1;
    std::map<jobs::ProcessId, std::unique_ptr<Child>> children_;
    std::vector<QPointer<QProcess>> ended_;
};

} // namespace cantova::ui::qt
