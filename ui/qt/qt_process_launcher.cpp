#include "ui/qt/qt_process_launcher.h"

#include "jobs/command_line.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include <chrono>

namespace cantova::ui::qt {

namespace {

// How long a child told to stop may take to clean up before it is killed.
constexpr std::chrono::seconds kStopGrace{2};

} // namespace

jobs::LaunchResult QtProcessLauncher::ShellAndWait(const std::string& commandLine,
                                                   const jobs::OutputLineHandler& onOutputLine) {
    const std::vector<std::string> arguments = jobs::SplitCommandLine(commandLine);
    if (arguments.empty()) {
        return {};
    }
    QStringList rest;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        rest << QString::fromStdString(arguments[i]);
    }
    QProcess process;
    process.setProgram(QString::fromStdString(arguments[0]));
    process.setArguments(rest);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    // Nothing is ever written to the child: a read of its input ends at once instead of waiting.
    process.setStandardInputFile(QProcess::nullDevice());
    jobs::OutputLineSplitter splitter;
    const auto readOutput = [&] {
        const QByteArray chunk = process.readAllStandardOutput();
        splitter.feed({chunk.constData(), static_cast<std::size_t>(chunk.size())}, onOutputLine);
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, readOutput);
    jobs::ErrorOutputTail errorTail;
    const auto readErrors = [&] {
        const QByteArray chunk = process.readAllStandardError();
        errorTail.feed({chunk.constData(), static_cast<std::size_t>(chunk.size())});
    };
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, readErrors);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start();
    // Returns as soon as the program has been executed, or could not be.
    if (!process.waitForStarted(-1)) {
        return {};
    }
    running_ = &process;
    stopping_ = false;
    while (process.state() != QProcess::NotRunning) {
        if (!stopping_) {
            loop.exec();
            if (process.state() != QProcess::NotRunning) {
                // Only a quit of the application ends this loop early: the child must not be left
                // behind, nor its job counted as done.
                TerminateRunning();
            }
        } else {
            // Once the application quits, a nested loop would return at once; this still sleeps.
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    readOutput();
    readErrors();
    splitter.finish(onOutputLine);
    jobs::LaunchResult result;
    result.started = true;
    result.stopped = stopping_;
    running_ = nullptr;
    stopping_ = false;
    // After a crash the exit code is the number of the signal that ended the process.
    if (process.exitStatus() == QProcess::NormalExit) {
        result.exitStatus = process.exitCode();
    } else {
        result.signal = process.exitCode();
    }
    result.errorOutput = errorTail.text();
    return result;
}

void QtProcessLauncher::TerminateRunning() {
    if (running_ == nullptr || stopping_) {
        return;
    }
    stopping_ = true;
    running_->terminate();
    // The timer goes with the process object, so it cannot fire on a later job.
    QTimer::singleShot(kStopGrace, running_, &QProcess::kill);
}

} // namespace cantova::ui::qt
