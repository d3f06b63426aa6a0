#include "ui/qt/qt_process_launcher.h"

#include "jobs/command_line.h"

#include <QEventLoop>
#include <QStringList>

namespace cantova::ui::qt {

jobs::LaunchResult QtProcessLauncher::ShellAndWait(const std::string& commandLine) {
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
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            loop.quit();
        }
    });
    process.start();
    if (process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart) {
        return {};
    }
    running_ = &process;
    if (process.state() != QProcess::NotRunning) {
        loop.exec();
    }
    running_ = nullptr;
    if (process.error() == QProcess::FailedToStart) {
        return {};
    }
    const bool normal = process.exitStatus() == QProcess::NormalExit;
    return {true, normal ? process.exitCode() : -1};
}

void QtProcessLauncher::TerminateRunning() {
    if (running_ != nullptr) {
        running_->terminate();
    }
}

} // namespace cantova::ui::qt
