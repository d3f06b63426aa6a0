#include "jobs/spawn_launcher.h"

#include "jobs/command_line.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

extern char** environ;

namespace cantova::jobs {

namespace {

// Reads the pipe until every writer has closed it, handing on whole lines.
void ReadLines(int descriptor, const OutputLineHandler& onLine) {
    OutputLineSplitter splitter;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = read(descriptor, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        splitter.feed({buffer.data(), static_cast<std::size_t>(count)}, onLine);
    }
    splitter.finish(onLine);
}

// Starts argv[0] (searched in PATH when it has no "/") with posix_spawnp, its standard output
// going to outputDescriptor; 0 when it cannot start.
pid_t SpawnProgram(const std::vector<std::string>& arguments, int outputDescriptor) {
    if (arguments.empty()) {
        return 0;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputDescriptor, STDOUT_FILENO);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

} // namespace

LaunchResult SpawnLauncher::ShellAndWait(const std::string& commandLine,
                                         const OutputLineHandler& onOutputLine) {
    // Both ends close on exec, so only the child's standard output keeps the pipe open.
    std::array<int, 2> output{};
    if (pipe2(output.data(), O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = SpawnProgram(SplitCommandLine(commandLine), output[1]);
    close(output[1]);
    if (pid == 0) {
        close(output[0]);
        return {};
    }
    running_ = pid;
    stopRequested_ = false;
    ReadLines(output[0], onOutputLine);
    close(output[0]);
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    running_ = 0;
    const int exitStatus = waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {true, exitStatus, stopRequested_};
}

void SpawnLauncher::TerminateRunning() {
    if (running_ != 0) {
        stopRequested_ = true;
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

LaunchResult DryRunLauncher::ShellAndWait(const std::string& commandLine,
                                          const OutputLineHandler&) {
    out_ << "run: " << commandLine << '\n';
    return {true, 0};
}

} // namespace cantova::jobs
