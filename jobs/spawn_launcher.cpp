#include "jobs/spawn_launcher.h"

#include "cmdline/command_line.h"
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
#include <csignal>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace cantova::jobs {

namespace {

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

bool MakePipe(Descriptor& read, Descriptor& write) {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) {
        return false;
    }
    read.reset(ends[0]);
    write.reset(ends[1]);
    return true;
}

// Starts argv[0] (searched in PATH when it has no "/") with posix_spawnp: its input is the null
// device, its output and error output go to the given descriptors. 0 when it cannot start, with
// the reason (an errno value, 0 for no program) in error.
pid_t SpawnProgram(const std::vector<std::string>& arguments, int output, int errorOutput,
                   int& error) {
    error = 0;
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
    error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

// Reads what is there now; false once the pipe has no writer left or fails.
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

// After the child has ended: takes what its pipe holds now, without waiting for writers that may
// still be alive, and closes it.
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

struct SpawnLauncher::Child {
    pid_t pid = 0;
    Descriptor exited; // readable once the process has ended; not open where there is no such
    Descriptor output;
    Descriptor errors;
    OutputLineSplitter splitter;
    ErrorOutputTail errorTail;
    ProcessEvents events;
    bool stopRequested = false;
    bool killed = false;
    Clock::time_point killAt{};

    void onOutput(std::string_view chunk) { splitter.feed(chunk, events.onOutputLine); }
    void onError(std::string_view chunk) { errorTail.feed(chunk); }
};

SpawnLauncher::SpawnLauncher(int stopDescriptor) : stopDescriptor_(stopDescriptor) {}

SpawnLauncher::~SpawnLauncher() {
    for (auto& [id, child] : children_) {
        kill(child->pid, SIGKILL);
        waitpid(child->pid, nullptr, 0);
    }
}

ProcessId SpawnLauncher::Start(const std::string& commandLine, ProcessEvents events) {
    const ProcessId id = nextId_++;
    if (stopRequested_) {
        LaunchResult stopped;
        stopped.started = true;
        stopped.stopped = true;
        pending_.emplace_back(std::move(events), stopped);
        return id;
    }
    auto child = std::make_unique<Child>();
    Descriptor outputWrite, errorWrite;
    LaunchResult notStarted;
    if (!MakePipe(child->output, outputWrite) || !MakePipe(child->errors, errorWrite)) {
        notStarted.startError = errno;
        pending_.emplace_back(std::move(events), notStarted);
        return id;
    }
    child->pid = SpawnProgram(cmdline::SplitCommandLine(commandLine), outputWrite.get(),
                              errorWrite.get(), notStarted.startError);
    if (child->pid == 0) {
        pending_.emplace_back(std::move(events), notStarted);
        return id;
    }
    child->exited.reset(static_cast<int>(syscall(SYS_pidfd_open, child->pid, 0)));
    child->events = std::move(events);
    children_.emplace(id, std::move(child));
    return id;
}

void SpawnLauncher::Terminate(ProcessId process) {
    const auto found = children_.find(process);
    if (found == children_.end() || found->second->stopRequested) {
        return;
    }
    Child& child = *found->second;
    child.stopRequested = true;
    child.killAt = Clock::now() + kStopGrace;
    kill(child.pid, SIGTERM);
}

void SpawnLauncher::stopEverything() {
    stopRequested_ = true;
    for (auto& [id, child] : children_) {
        Terminate(id);
    }
}

void SpawnLauncher::RunUntilIdle() {
    while (!pending_.empty() || !children_.empty()) {
        // Events may start further programs: they join the loop.
        std::vector<std::pair<ProcessEvents, LaunchResult>> ready;
        ready.swap(pending_);
        for (auto& [events, result] : ready) {
            events.onFinished(result);
        }
        if (children_.empty()) {
            continue;
        }
        for (const ProcessId id : waitOnce()) {
            auto found = children_.find(id);
            std::unique_ptr<Child> child = std::move(found->second);
            children_.erase(found);
            int status = 0;
            pid_t waited;
            do {
                waited = waitpid(child->pid, &status, 0);
            } while (waited < 0 && errno == EINTR);
            LaunchResult result;
            result.started = true;
            result.stopped = child->stopRequested;
            if (waited == child->pid && WIFEXITED(status)) {
                result.exitStatus = WEXITSTATUS(status);
            } else if (waited == child->pid && WIFSIGNALED(status)) {
                result.signal = WTERMSIG(status);
            }
            result.errorOutput = child->errorTail.text();
            child->events.onFinished(result);
        }
    }
}

std::vector<ProcessId> SpawnLauncher::waitOnce() {
    struct Watched {
        ProcessId id;
        enum { Output, Errors, Exit } what;
    };
    std::vector<pollfd> fds;
    std::vector<Watched> watched;
    std::optional<Clock::time_point> nextKill;
    for (auto& [id, child] : children_) {
        const auto watch = [&](const Descriptor& fd, decltype(Watched::what) what) {
            if (fd.open()) {
                fds.push_back({fd.get(), POLLIN, 0});
                watched.push_back({id, what});
            }
        };
        watch(child->output, Watched::Output);
        watch(child->errors, Watched::Errors);
        watch(child->exited, Watched::Exit);
        if (child->stopRequested && !child->killed) {
            nextKill = nextKill ? std::min(*nextKill, child->killAt) : child->killAt;
        }
    }
    const bool watchStop = stopDescriptor_ >= 0 && !stopRequested_;
    if (watchStop) {
        fds.push_back({stopDescriptor_, POLLIN, 0});
    }
    int timeout = -1;
    if (nextKill) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*nextKill - Clock::now());
        timeout = static_cast<int>(std::max<long long>(0, left.count()));
    }
    const int ready = poll(fds.data(), fds.size(), timeout);
    for (auto& [id, child] : children_) {
        if (child->stopRequested && !child->killed && Clock::now() >= child->killAt) {
            kill(child->pid, SIGKILL);
            child->killed = true;
        }
    }
    std::vector<ProcessId> ended;
    if (ready <= 0) {
        return ended;
    }
    const auto readable = [](const pollfd& fd) {
        return (fd.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    };
    if (watchStop && readable(fds.back())) {
        stopEverything(); // the request stays pending for the program; noticed once here
    }
    for (std::size_t i = 0; i < watched.size(); ++i) {
        if (!readable(fds[i])) {
            continue;
        }
        Child& child = *children_.at(watched[i].id);
        switch (watched[i].what) {
        case Watched::Output:
            if (!ReadChunk(child.output.get(), [&](std::string_view c) { child.onOutput(c); })) {
                child.output.reset();
            }
            break;
        case Watched::Errors:
            if (!ReadChunk(child.errors.get(), [&](std::string_view c) { child.onError(c); })) {
                child.errors.reset();
            }
            break;
        case Watched::Exit:
            ended.push_back(watched[i].id);
            break;
        }
    }
    for (auto& [id, child] : children_) {
        // Without a process descriptor, closed pipes tell that the child has ended.
        const bool endedByPipes =
            !child->exited.open() && !child->output.open() && !child->errors.open();
        if (endedByPipes && std::find(ended.begin(), ended.end(), id) == ended.end()) {
            ended.push_back(id);
        }
    }
    for (const ProcessId id : ended) {
        Child& child = *children_.at(id);
        Drain(child.output, [&](std::string_view c) { child.onOutput(c); });
        Drain(child.errors, [&](std::string_view c) { child.onError(c); });
        child.splitter.finish(child.events.onOutputLine);
    }
    return ended;
}

ProcessId DryRunLauncher::Start(const std::string& commandLine, ProcessEvents events) {
    out_ << "run: " << commandLine << '\n';
    pending_.push_back(std::move(events));
    return nextId_++;
}

void DryRunLauncher::RunUntilIdle() {
    while (!pending_.empty()) {
        std::vector<ProcessEvents> ready;
        ready.swap(pending_);
        for (ProcessEvents& events : ready) {
            LaunchResult result;
            result.started = true;
            events.onFinished(result);
        }
    }
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

} // namespace cantova::jobs
