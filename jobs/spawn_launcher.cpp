#include "jobs/spawn_launcher.h"

#include "jobs/command_line.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace cantova::jobs {

pid_t SpawnProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return 0;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return 0;
    }
    return pid;
}

LaunchResult SpawnLauncher::ShellAndWait(const std::string& commandLine) {
    const pid_t pid = SpawnProgram(SplitCommandLine(commandLine));
    if (pid == 0) {
        return {};
    }
    running_ = pid;
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    running_ = 0;
    if (waited != pid) {
        return {true, -1};
    }
    return {true, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void SpawnLauncher::TerminateRunning() {
    if (running_ != 0) {
        kill(running_, SIGTERM);
    }
}

ProcessLauncher& SystemProcessLauncher() {
    static SpawnLauncher launcher;
    return launcher;
}

LogViewer& SilentLogViewer() {
    class Silent : public LogViewer {
    public:
        void ShowLog(const std::string&) override {}
    };
    static Silent viewer;
    return viewer;
}

LaunchResult DryRunLauncher::ShellAndWait(const std::string& commandLine) {
    out_ << "run: " << commandLine << '\n';
    return {true, 0};
}

} // namespace cantova::jobs
