#include "engine_pipeline.h"

#include "stop_request.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace cantova {

namespace {

constexpr std::size_t kKeptErrorBytes = 32 * 1024;
// Pipe ends are kept above the standard descriptors and descriptor 3, so that placing them
// at 0 to 3 in a child never meets an end that already sits there.
constexpr int kLowestPipeDescriptor = 10;

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Descriptor() { reset(-1); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
};

Descriptor raised(int fd) {
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kLowestPipeDescriptor);
    ::close(fd);
    if (moved < 0) {
        throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    }
    return Descriptor(moved);
}

Pipe makePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    }
    return Pipe{raised(fds[0]), raised(fds[1])};
}

// Collects the bytes of one descriptor into lines and keeps the end of the text.
struct Stream {
    Descriptor fd;
    std::string pending;
    std::string* kept = nullptr;
    const std::function<void(std::string_view)>* onLine = nullptr;

    void take(const char* data, std::size_t size) {
        if (kept != nullptr) {
            kept->append(data, size);
            if (kept->size() > 2 * kKeptErrorBytes) {
                kept->erase(0, kept->size() - kKeptErrorBytes);
            }
        }
        if (onLine == nullptr || !*onLine) {
            return;
        }
        pending.append(data, size);
        std::size_t start = 0;
        for (std::size_t end; (end = pending.find_first_of("\r\n", start)) != std::string::npos;
             start = end + 1) {
            (*onLine)(std::string_view(pending).substr(start, end - start));
        }
        pending.erase(0, start);
    }
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    void place(int fd, int target) { posix_spawn_file_actions_adddup2(&actions_, fd, target); }
    void nothingAt(int target) {
        posix_spawn_file_actions_addopen(&actions_, target, "/dev/null",
                                         target == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

pid_t spawn(const std::vector<std::string>& arguments, const SpawnActions& actions,
            EngineOutcome& outcome) {
    std::vector<char*> argv;
    for (const std::string& word : arguments) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    int error = posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    if (error != 0) {
        outcome.errorOutput = "cannot start " + arguments[0] + ": " + std::strerror(error);
        return -1;
    }
    outcome.started = true;
    return pid;
}

// A bounded wait, so that a stop request arriving just before poll is still seen soon.
constexpr int kPollMilliseconds = 250;

void pumpUntilClosed(std::vector<Stream>& streams, const std::vector<pid_t>& pids) {
    std::vector<pollfd> polled;
    char buffer[8192];
    bool enginesStopped = false;
    while (true) {
        if (stopRequested() && !enginesStopped) {
            for (pid_t pid : pids) {
                if (pid > 0) {
                    ::kill(pid, SIGTERM);
                }
            }
            enginesStopped = true;
        }
        polled.clear();
        for (Stream& stream : streams) {
            if (stream.fd.get() >= 0) {
                polled.push_back({stream.fd.get(), POLLIN, 0});
            }
        }
        if (polled.empty()) {
            return;
        }
        if (::poll(polled.data(), polled.size(), kPollMilliseconds) < 0) {
            if (errno == EINTR) {
                continue;
            }
            for (Stream& stream : streams) {
                stream.fd.reset(-1); // engines that still write then end on a broken pipe
            }
            return;
        }
        for (const pollfd& ready : polled) {
            if (ready.revents == 0) {
                continue;
            }
            for (Stream& stream : streams) {
                if (stream.fd.get() != ready.fd) {
                    continue;
                }
                ssize_t count = ::read(ready.fd, buffer, sizeof buffer);
                if (count > 0) {
                    stream.take(buffer, static_cast<std::size_t>(count));
                } else if (count == 0 || errno != EINTR) {
                    stream.fd.reset(-1);
                }
            }
        }
    }
}

int waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::vector<EngineOutcome> runEnginePipeline(const std::vector<EngineCommand>& engines,
                                             const PipelineListener& listener) {
    std::vector<EngineOutcome> outcomes(engines.size());
    std::vector<Stream> streams;
    streams.reserve(engines.size() + 1);
    std::vector<pid_t> pids(engines.size(), -1);

    Pipe progress = makePipe();
    Descriptor previousOutput; // read end of the pipe between engine i-1 and engine i
    for (std::size_t i = 0; i < engines.size(); ++i) {
        SpawnActions actions;
        Pipe errors = makePipe();
        Pipe toNext;
        const bool last = i + 1 == engines.size();
        if (!last) {
            toNext = makePipe();
        }
        if (i == 0) {
            actions.nothingAt(0);
            actions.place(progress.write.get(), 3);
        } else {
            actions.place(previousOutput.get(), 0);
        }
        if (last) {
            actions.nothingAt(1);
        } else {
            actions.place(toNext.write.get(), 1);
        }
        actions.place(errors.write.get(), 2);
        pids[i] = spawn(engines[i].arguments, actions, outcomes[i]);

        Stream errorStream{std::move(errors.read), {}, &outcomes[i].errorOutput, nullptr};
        if (i == 0) {
            errorStream.onLine = &listener.firstEngineErrorLine;
        }
        streams.push_back(std::move(errorStream));
        previousOutput = std::move(toNext.read);
    }
    progress.write.reset(-1);
    streams.push_back(Stream{std::move(progress.read), {}, nullptr, &listener.progressLine});
    previousOutput.reset(-1);

    pumpUntilClosed(streams, pids);
    for (std::size_t i = 0; i < engines.size(); ++i) {
        if (pids[i] > 0) {
            outcomes[i].exitCode = waitForExit(pids[i]);
        }
        if (outcomes[i].errorOutput.size() > kKeptErrorBytes) {
            outcomes[i].errorOutput.erase(0, outcomes[i].errorOutput.size() - kKeptErrorBytes);
        }
    }
    return outcomes;
}

std::string describeCommand(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& word : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        const bool quote = word.empty() || word.find_first_of(" \t") != std::string::npos;
        line += quote ? "\"" + word + "\"" : word;
    }
    return line;
}

} // namespace cantova
