#include "gui/qt_process_launcher.h"

#include "cmdline/command_line.h"

#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace cantova::ui::qt {

namespace {

// How long a child told to stop may take to clean up before it is killed.
constexpr std::chrono::seconds kStopGrace{2};

// QProcess says why a start failed only in words, which end with the system's text for the errno.
int StartErrorOf(const QString& errorText) {
    for (const int error : {EMFILE, ENFILE, EAGAIN}) {
        if (errorText.endsWith(QString::fromLocal8Bit(std::strerror(error)))) {
            return error;
        }
    }
    return 0;
}

} // namespace

struct QtProcessLauncher::Child {
    // Owned by the launcher: deleted with deleteLater once it has ended, since the end may be
    // reported from within one of its own signals, and what runs then (a message box's loop)
    // must not delete it under its feet.
    QProcess& process = *new QProcess;
    jobs::ProcessEvents events;
    jobs::OutputLineSplitter splitter;
    jobs::ErrorOutputTail errorTail;
    bool started = false;
    bool stopping = false;

    void readOutput() {
        const QByteArray chunk = process.readAllStandardOutput();
        splitter.feed({chunk.constData(), static_cast<std::size_t>(chunk.size())},
                      events.onOutputLine);
    }
    void readErrors() {
        const QByteArray chunk = process.readAllStandardError();
        errorTail.feed({chunk.constData(), static_cast<std::size_t>(chunk.size())});
    }
    jobs::LaunchResult result() {
        readOutput();
        readErrors();
        splitter.finish(events.onOutputLine);
        jobs::LaunchResult result;
        result.started = started;
        result.stopped = stopping;
        if (started && process.exitStatus() == QProcess::NormalExit) {
            result.exitStatus = process.exitCode();
        } else if (started) {
            // After a crash the exit code is the number of the signal that ended the process.
            result.signal = process.exitCode();
        }
        result.errorOutput = errorTail.text();
        if (!started) {
            result.startError = StartErrorOf(process.errorString());
        }
        return result;
    }
};

QtProcessLauncher::QtProcessLauncher() = default;

QtProcessLauncher::~QtProcessLauncher() {
    for (auto& [id, child] : children_) {
        QObject::disconnect(&child->process, nullptr, this, nullptr);
        child->process.kill();
        child->process.waitForFinished();
        delete &child->process;
    }
    // Ended ones whose deletion the event loop has not come to.
    for (const QPointer<QProcess>& process : ended_) {
        delete process.data();
    }
}

jobs::ProcessId QtProcessLauncher::Start(const std::string& commandLine,
                                         jobs::ProcessEvents events) {
    const jobs::ProcessId id = nextId_++;
    Child* child = (children_[id] = std::make_unique<Child>()).get();
    child->events = std::move(events);
    const std::vector<std::string> arguments = cmdline::SplitCommandLine(commandLine);
    if (arguments.empty() || arguments[0].empty()) {
        // Reported from the event loop, as any other end.
        QTimer::singleShot(0, this, [this, id] { finish(id); });
        return id;
    }
    QStringList rest;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        rest << QString::fromStdString(arguments[i]);
    }
    QProcess& process = child->process;
    process.setProgram(QString::fromStdString(arguments[0]));
    process.setArguments(rest);
    // Nothing is ever written to the child: a read of its input ends at once instead of waiting.
    process.setStandardInputFile(QProcess::nullDevice());
    QObject::connect(&process, &QProcess::started, this, [child] { child->started = true; });
    QObject::connect(&process, &QProcess::readyReadStandardOutput, this,
                     [child] { child->readOutput(); });
    QObject::connect(&process, &QProcess::readyReadStandardError, this,
                     [child] { child->readErrors(); });
    QObject::connect(&process, &QProcess::finished, this, [this, id] { finish(id); });
    QObject::connect(&process, &QProcess::errorOccurred, this,
                     [this, id](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) {
                             finish(id);
                         }
                     });
    process.start();
    return id;
}

void QtProcessLauncher::finish(jobs::ProcessId process) {
    const auto found = children_.find(process);
    if (found == children_.end()) {
        return;
    }
    std::unique_ptr<Child> child = std::move(found->second);
    children_.erase(found);
    const jobs::LaunchResult result = child->result();
    QObject::disconnect(&child->process, nullptr, this, nullptr);
    const jobs::ProcessEvents events = child->events;
    std::erase_if(ended_, [](const QPointer<QProcess>& process) { return process.isNull(); });
    ended_.emplace_back(&child->process);
    child->process.deleteLater();
    child.reset();
    events.onFinished(result);
}

void QtProcessLauncher::Terminate(jobs::ProcessId process) {
    const auto found = children_.find(process);
    if (found == children_.end() || found->second->stopping) {
        return;
    }
    Child* child = found->second.get();
    child->stopping = true;
    child->process.terminate();
    // The timer goes with the process object, so it cannot fire on a later job.
    QTimer::singleShot(kStopGrace, &child->process, &QProcess::kill);
}

void QtProcessLauncher::StopAllAndWait() {
    while (!children_.empty()) {
        const jobs::ProcessId id = children_.begin()->first;
        Child* child = children_.begin()->second.get();
        Terminate(id);
        if (!child->process.waitForFinished(static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(kStopGrace).count()))) {
            child->process.kill();
            child->process.waitForFinished();
        }
        finish(id);
    }
}

} // namespace cantova::ui::qt
