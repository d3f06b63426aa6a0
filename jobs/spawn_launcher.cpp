#include "jobs/spawn_launcher.h"

#include "jobs/command_line.h"
#include "settings/paths.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

extern char** environ;

namespace cantova::jobs {

namespace {

using Clock = std::chrono::steady_clock;

// How long a child told to stop may take to clean up before it is killed.
constexpr std::chrono::seconds kStopGrace{2};

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool open() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
    bool make() {
        std::array<int, 2> ends{};
        if (pipe2(ends.data(), O_CLOEXEC) != 0) {
            return false;
        }
        read.reset(ends[0]);
        write.reset(ends[1]);
        return true;
    }
};

// Starts argv[0] (searched in PATH when it has no "/") with posix_spawnp: its input is the null
// device, its output and error output go to the given descriptors. 0 when it cannot start.
pid_t SpawnProgram(const std::vector<std::string>& arguments, int output, int errorOutput) {
    if (arguments.empty() || arguments[0].empty()) {
        return 0;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorOutput, STDERR_FILENO);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

// A descriptor that becomes readable when the process has ended; not open where the system
// has none (the wait then ends with the child's output instead).
int ExitDescriptor(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Reads what is there; false once the pipe has no writer left or fails.
bool ReadChunk(int fd, const std::function<void(std::string_view)>& onChunk) {
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = read(fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return count < 0 && errno == EAGAIN;
        }
        onChunk({buffer.data(), static_cast<std::size_t>(count)});
        return true;
    }
}

// After the child has ended: takes what its pipes hold now, without waiting for writers that
// may still be alive.
void Drain(Descriptor& fd, const std::function<void(std::string_view)>& onChunk) {
    if (!fd.open()) {
        return;
    }
    fcntl(fd.get(), F_SETFL, fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = read(fd.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        onChunk({buffer.data(), static_cast<std::size_t>(count)});
    }
    fd.reset();
}

} // namespace

LaunchResult SpawnLauncher::ShellAndWait(const std::string& commandLine,
                                         const OutputLineHandler& onOutputLine) {
    Pipe output, errors;
    if (!output.make() || !errors.make()) {
        return {};
    }
    const pid_t pid =
        SpawnProgram(SplitCommandLine(commandLine), output.write.get(), errors.write.get());
    output.write.reset();
    errors.write.reset();
    if (pid == 0) {
        return {};
    }
    running_ = pid;
    stopRequested_ = false;
    Descriptor exited(ExitDescriptor(pid));
    OutputLineSplitter splitter;
    ErrorOutputTail errorTail;
    const auto onOutput = [&](std::string_view chunk) { splitter.feed(chunk, onOutputLine); };
    const auto onError = [&](std::string_view chunk) { errorTail.feed(chunk); };
    bool watchStop = stopDescriptor_ >= 0;
    // Once the child has been told to stop: when it is killed if it has not ended by then.
    Clock::time_point killAt{};
    enum class Stop { NotAsked, Told, Killed } stop = Stop::NotAsked;

    for (;;) {
        std::vector<pollfd> watched;
        const auto watch = [&](int fd) {
            watched.push_back({fd, POLLIN, 0});
            return watched.size() - 1;
        };
        const std::size_t none = SIZE_MAX;
        const std::size_t out = output.read.open() ? watch(output.read.get()) : none;
        const std::size_t err = errors.read.open() ? watch(errors.read.get()) : none;
        const std::size_t end = exited.open() ? watch(exited.get()) : none;
        const std::size_t request = watchStop ? watch(stopDescriptor_) : none;
        if (end == none && out == none && err == none) {
            break; // without an exit descriptor, the closed pipes tell that the child has ended
        }
        int timeout = -1;
        if (stop == Stop::Told) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(killAt - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        const int ready = poll(watched.data(), watched.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (stop == Stop::Told && Clock::now() >= killAt) {
            kill(pid, SIGKILL);
            stop = Stop::Killed;
        }
        if (ready <= 0) {
            continue;
        }
        const auto readable = [&](std::size_t i) {
            return i != none && (watched[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
        };
        if (readable(request)) {
            watchStop = false; // the request stays pending for the program; noticed once here
            TerminateRunning();
        }
        if (stopRequested_ && stop == Stop::NotAsked) {
            killAt = Clock::now() + kStopGrace;
            stop = Stop::Told;
        }
        if (readable(out) && !ReadChunk(output.read.get(), onOutput)) {
            output.read.reset();
        }
        if (readable(err) && !ReadChunk(errors.read.get(), onError)) {
            errors.read.reset();
        }
        if (readable(end)) {
            break;
        }
    }
    Drain(output.read, onOutput);
    Drain(errors.read, onError);
    splitter.finish(onOutputLine);

    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    running_ = 0;
    LaunchResult result{true, 0, 0, stopRequested_, errorTail.text()};
    if (waited == pid && WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (waited == pid && WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

void SpawnLauncher::TerminateRunning() {
    if (running_ != 0 && !stopRequested_) {
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

TranscoderLogFiles& SystemTranscoderLogFiles() {
    class OnDisk : public TranscoderLogFiles {
    public:
        void RemoveOld(const std::string& path) override {
            if (settings::FileExist(path)) {
                settings::DeleteFile(path);
            }
        }
        bool Exists(const std::string& path) override { return settings::FileExist(path); }
    };
    static OnDisk files;
    return files;
}

void DryRunLogFiles::RemoveOld(const std::string& path) {
    if (settings::FileExist(path)) {
        out_ << "delete: " << path << '\n';
        removed_.push_back(path);
    }
}

bool DryRunLogFiles::Exists(const std::string& path) {
    return std::find(removed_.begin(), removed_.end(), path) == removed_.end() &&
           settings::FileExist(path);
}

LaunchResult DryRunLauncher::ShellAndWait(const std::string& commandLine,
                                          const OutputLineHandler&) {
    out_ << "run: " << commandLine << '\n';
    LaunchResult result;
    result.started = true;
    return result;
}

} // namespace cantova::jobs
