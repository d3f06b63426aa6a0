#include "engines/engine_pipeline.h"

#include "engines/stop_request.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace cantova {

namespace {

constexpr std::size_t kKeptErrorBytes = 32 * 1024;
// Descriptors of the transcoder are kept above those placed in a child (0 to 3, the shared ones
// and the taps), so that placing them never meets a descriptor that already sits there.
constexpr int kLowestOwnDescriptor = 64;
constexpr std::size_t kMostTaps = 8;
static_assert(kFirstSharedDescriptor + kMostSharedDescriptors + kMostTaps <=
              static_cast<std::size_t>(kLowestOwnDescriptor));

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

[[noreturn]] void failSystemCall(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

Descriptor raised(int fd) {
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kLowestOwnDescriptor);
    ::close(fd);
    if (moved < 0) {
        failSystemCall("cannot create a pipe");
    }
    return Descriptor(moved);
}

Pipe makePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        failSystemCall("cannot create a pipe");
    }
    return Pipe{raised(fds[0]), raised(fds[1])};
}

Descriptor openNull(int flags) {
    const int fd = ::open("/dev/null", flags | O_CLOEXEC);
    if (fd < 0) {
        failSystemCall("cannot open /dev/null");
    }
    return raised(fd);
}

// Collects the bytes of one descriptor into lines and keeps the end of the text.
struct Stream {
    Descriptor fd;
    std::string* kept = nullptr;
    const std::function<void(std::string_view)>* onLine = nullptr;
    std::string pending;
    const PipelineListener::Tap* tap = nullptr;
    bool roomy = false;    // a tap whose pipe holds kTapPipeBytes
    bool ofWriter = false; // the error output of an engine that writes a growing file

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

// A descriptor of the transcoder and the number it gets in a child.
struct Placement {
    int from;
    int to;
};

// Runs in the child between fork and exec, so it makes only calls that are safe there.
[[noreturn]] void becomeEngine(char* const* argv, const std::vector<Placement>& placements,
                               pid_t transcoder, int failureReport) {
    // The engine is killed when the transcoder ends, even by SIGKILL; the check after it
    // covers a transcoder that ended before the request was made.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != transcoder) {
        ::_exit(127);
    }
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &defaultAction, nullptr); // the transcoder's own choice, not theirs
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    bool placed = true;
    for (const Placement& placement : placements) {
        placed = placed && ::dup2(placement.from, placement.to) >= 0;
    }
    if (placed) {
        ::execvp(argv[0], argv);
    }
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(failureReport, &error, sizeof error);
    ::_exit(127);
}

pid_t startEngine(const std::vector<std::string>& arguments,
                  const std::vector<Placement>& placements, EngineOutcome& outcome) {
    std::vector<char*> argv;
    for (const std::string& word : arguments) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    Pipe failureReport = makePipe(); // closed by a successful exec
    const pid_t transcoder = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        becomeEngine(argv.data(), placements, transcoder, failureReport.write.get());
    }
    if (pid < 0) {
        outcome.errorOutput = "cannot start " + arguments[0] + ": " + std::strerror(errno);
        return -1;
    }
    failureReport.write.reset(-1);
    int childError = 0;
    ssize_t count = 0;
    do {
        count = ::read(failureReport.read.get(), &childError, sizeof childError);
    } while (count < 0 && errno == EINTR);
    if (count != static_cast<ssize_t>(sizeof childError)) {
        outcome.started = true;
        return pid;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.errorOutput = "cannot start " + arguments[0] + ": " + std::strerror(childError);
    return -1;
}

// A bounded wait, so that a stop request arriving just before poll is still seen soon.
constexpr int kPollMilliseconds = 250;
// A tap's pipe holds this much (where the system allows), read at once.
constexpr std::size_t kTapPipeBytes = 1024 * 1024;
// After a read of less than a quarter of that the transcoder waits this long before the next:
// samples come in writes of a frame of audio each, and waking for every one of them would cost
// more than measuring them. A pipe of that size fills in the wait only at more than 250 MB/s,
// and a read of more than a quarter of it is followed at once by the next.
constexpr useconds_t kTapGatherMicroseconds = 4000;

// How long engines asked to stop (SIGTERM) may take before they are killed: one blocked where
// a signal only sets a flag (ffmpeg opening a FIFO) or stopped (SIGSTOP) would wait for ever.
constexpr auto kStopGrace = std::chrono::seconds(2);

// Ends the engines of a pass once a stop is requested: SIGTERM first, SIGKILL after the grace.
class EngineStopper {
public:
    explicit EngineStopper(const std::vector<pid_t>& pids) : pids_(pids) {}

    // Whether the engines have been asked to stop.
    bool stopping() {
        if (!stopRequested()) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!asked_) {
            send(SIGTERM);
            asked_ = true;
            askedAt_ = now;
        } else if (!killed_ && now - askedAt_ >= kStopGrace) {
            send(SIGKILL);
            killed_ = true;
        }
        return true;
    }

private:
    void send(int signal) const {
        for (pid_t pid : pids_) {
            if (pid > 0) {
                ::kill(pid, signal); // an engine not reaped yet: its pid is still its own
            }
        }
    }

    const std::vector<pid_t>& pids_;
    // A plain time and a flag: GCC cannot see through an optional time here and warns.
    bool asked_ = false;
    std::chrono::steady_clock::time_point askedAt_{};
    bool killed_ = false;
};

// Hands an engine the bytes of a file that other engines write, as the file grows.
class GrowingFileFeed {
public:
    GrowingFileFeed(int file, Descriptor input) : file_(file), input_(std::move(input)) {
        ::fcntl(input_.get(), F_SETFL, ::fcntl(input_.get(), F_GETFL) | O_NONBLOCK);
    }

    // The reader's input, -1 once it is ended.
    int input() const { return input_.get(); }
    // Bytes read from the file wait until the reader's input takes them.
    bool waiting() const { return start_ < end_; }

    // Passes on what the file has gained, as far as the reader's input takes it; once the
    // writers have ended, the input is ended after the file's last byte.
    void advance(bool writersEnded) {
        while (input_.get() >= 0) {
            if (!waiting()) {
                const ssize_t count = ::pread(file_, chunk_.data(), chunk_.size(), offset_);
                if (count < 0 && errno == EINTR) {
                    continue;
                }
                end_ = static_cast<std::size_t>(std::max<ssize_t>(count, 0));
                start_ = 0;
                if (count <= 0) {
                    if (writersEnded || count < 0) {
                        input_.reset(-1);
                    }
                    return;
                }
                offset_ += count;
            }
            const ssize_t written = ::write(input_.get(), chunk_.data() + start_, end_ - start_);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                if (errno != EAGAIN) {
                    input_.reset(-1); // the reader has gone; its exit status tells why
                }
                return;
            }
            start_ += static_cast<std::size_t>(written);
        }
    }

private:
    static constexpr std::size_t kChunkBytes = 256 * 1024;
    int file_;
    Descriptor input_;
    off_t offset_ = 0;
    // Read from the file, not yet taken by the reader's input: [start_, end_).
    std::vector<char> chunk_ = std::vector<char>(kChunkBytes);
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

// How often a growing file is looked at for new bytes: its reader may wait no longer.
constexpr int kGrowingFileMilliseconds = 20;

void pumpUntilClosed(std::vector<Stream>& streams, EngineStopper& stopper, GrowingFileFeed* feed) {
    const int watchedOutput = standardOutputToWatch();
    std::vector<pollfd> polled;
    std::vector<char> buffer(64 * 1024); // for the engines' messages; taps read into their own
    while (true) {
        const bool enginesStopped = stopper.stopping();
        polled.clear();
        bool writersEnded = true;
        for (Stream& stream : streams) {
            if (stream.fd.get() >= 0) {
                polled.push_back({stream.fd.get(), POLLIN, 0});
                writersEnded = writersEnded && !stream.ofWriter;
            }
        }
        if (feed != nullptr) {
            feed->advance(writersEnded);
        }
        if (polled.empty()) {
            return;
        }
        const std::size_t streamCount = polled.size();
        const bool feeding = feed != nullptr && feed->input() >= 0;
        if (feeding && feed->waiting()) {
            polled.push_back({feed->input(), POLLOUT, 0});
        }
        const std::size_t watchedAt = polled.size();
        if (watchedOutput >= 0 && !enginesStopped) {
            polled.push_back({watchedOutput, 0, 0}); // only POLLERR or POLLHUP come back
        }
        if (::poll(polled.data(), polled.size(),
                   feeding ? kGrowingFileMilliseconds : kPollMilliseconds) < 0) {
            if (errno == EINTR) {
                continue;
            }
            for (Stream& stream : streams) {
                stream.fd.reset(-1); // engines that still write then end on a broken pipe
            }
            return;
        }
        if (polled.size() > watchedAt && (polled.back().revents & (POLLERR | POLLHUP)) != 0) {
            requestStopForClosedOutput();
        }
        bool tapTrickles = false;
        bool tapFlows = false;
        for (std::size_t i = 0; i < streamCount; ++i) {
            if (polled[i].revents == 0) {
                continue;
            }
            for (Stream& stream : streams) {
                if (stream.fd.get() != polled[i].fd) {
                    continue;
                }
                const std::span<char> room =
                    stream.tap != nullptr ? stream.tap->room() : std::span<char>(buffer);
                const ssize_t count = ::read(polled[i].fd, room.data(), room.size());
                if (count > 0) {
                    const auto size = static_cast<std::size_t>(count);
                    if (stream.tap != nullptr) {
                        stream.tap->filled(size);
                    } else {
                        stream.take(room.data(), size);
                    }
                    const bool small = size < kTapPipeBytes / 4;
                    tapTrickles = tapTrickles || (stream.roomy && small);
                    tapFlows = tapFlows || (stream.tap != nullptr && !small);
                } else if (count == 0 || errno != EINTR) {
                    stream.fd.reset(-1);
                }
            }
        }
        if (tapTrickles && !tapFlows) {
            ::usleep(kTapGatherMicroseconds);
        }
    }
}

int waitForExit(pid_t pid, EngineStopper& stopper) {
    constexpr auto kStoppingCheck = std::chrono::milliseconds(50);
    int status = 0;
    while (true) {
        // Once a stop is requested the wait is bounded, so that the grace is kept.
        const bool stopping = stopper.stopping();
        const pid_t ended = ::waitpid(pid, &status, stopping ? WNOHANG : 0);
        if (ended == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (ended < 0 && errno != EINTR) {
            return -1;
        }
        if (stopping) {
            std::this_thread::sleep_for(kStoppingCheck);
        }
    }
}

} // namespace

std::string sharedDescriptorPath(std::size_t index) {
    return "/proc/self/fd/" + std::to_string(kFirstSharedDescriptor + static_cast<int>(index));
}

int tapDescriptor(std::size_t index) {
    return kFirstSharedDescriptor + static_cast<int>(kMostSharedDescriptors + index);
}

std::vector<EngineOutcome> runEnginePipeline(const std::vector<EngineCommand>& engines,
                                             const PipelineListener& listener,
                                             const std::vector<int>& sharedDescriptors) {
    std::vector<EngineOutcome> outcomes(engines.size());
    std::vector<Stream> streams;
    streams.reserve(engines.size() + 1 + listener.taps.size());
    std::vector<pid_t> pids(engines.size(), -1);

    // Raised first, so that placing one never overwrites another that still has to be placed.
    if (sharedDescriptors.size() > kMostSharedDescriptors || listener.taps.size() > kMostTaps) {
        throw std::logic_error("more descriptors for the engines than they have room for");
    }
    std::vector<Descriptor> shared;
    for (int fd : sharedDescriptors) {
        const int raisedCopy = ::fcntl(fd, F_DUPFD_CLOEXEC, kLowestOwnDescriptor);
        if (raisedCopy < 0) {
            failSystemCall("cannot hand a file to the engines");
        }
        shared.emplace_back(raisedCopy);
    }
    const Descriptor nothingIn = openNull(O_RDONLY);
    const Descriptor nothingOut = openNull(O_WRONLY);
    Pipe progress = makePipe();
    std::vector<Pipe> taps;
    std::vector<bool> roomy;
    for (std::size_t t = 0; t < listener.taps.size(); ++t) {
        taps.push_back(makePipe());
        // Room for what the engine writes while the transcoder waits to read; where the system
        // refuses, the pipe keeps its size and is read without waiting.
        const int size = static_cast<int>(kTapPipeBytes);
        roomy.push_back(::fcntl(taps.back().read.get(), F_SETPIPE_SZ, size) >= size);
    }
    const std::optional<PipelineListener::GrowingFile>& growing = listener.growingFile;
    const auto readsGrowingFile = [&](std::size_t i) { return growing && growing->reader == i; };
    Pipe growingInput;
    if (growing) {
        // The writers empty it only once they open it.
        if (::ftruncate(growing->descriptor, 0) != 0) {
            failSystemCall("cannot empty the file the engines write");
        }
        growingInput = makePipe();
    }
    Descriptor previousOutput; // read end of the pipe between engine i-1 and engine i
    for (std::size_t i = 0; i < engines.size(); ++i) {
        Pipe errors = makePipe();
        Pipe toNext;
        const bool first = i == 0;
        const bool feedsNext = i + 1 < engines.size() && !readsGrowingFile(i + 1);
        if (feedsNext) {
            toNext = makePipe();
        }
        const int input = readsGrowingFile(i) ? growingInput.read.get()
                          : first             ? nothingIn.get()
                                              : previousOutput.get();
        std::vector<Placement> placements = {{input, 0},
                                             {feedsNext ? toNext.write.get() : nothingOut.get(), 1},
                                             {errors.write.get(), 2},
                                             {first ? progress.write.get() : nothingOut.get(), 3}};
        for (std::size_t d = 0; d < shared.size(); ++d) {
            placements.push_back({shared[d].get(), kFirstSharedDescriptor + static_cast<int>(d)});
        }
        for (std::size_t t = 0; t < taps.size(); ++t) {
            if (listener.taps[t].engine == i) {
                placements.push_back({taps[t].write.get(), tapDescriptor(t)});
            }
        }
        pids[i] = startEngine(engines[i].arguments, placements, outcomes[i]);

        Stream errorStream{std::move(errors.read),
                           &outcomes[i].errorOutput,
                           first ? &listener.firstEngineErrorLine : nullptr,
                           {},
                           nullptr,
                           false,
                           growing && i < growing->reader};
        streams.push_back(std::move(errorStream));
        previousOutput = std::move(toNext.read);
    }
    progress.write.reset(-1);
    streams.push_back(
        Stream{std::move(progress.read), nullptr, &listener.progressLine, {}, nullptr, false});
    for (std::size_t t = 0; t < taps.size(); ++t) {
        taps[t].write.reset(-1);
        streams.push_back(
            Stream{std::move(taps[t].read), nullptr, nullptr, {}, &listener.taps[t], roomy[t]});
    }
    previousOutput.reset(-1);
    growingInput.read.reset(-1);
    std::optional<GrowingFileFeed> feed;
    if (growing) {
        feed.emplace(growing->descriptor, std::move(growingInput.write));
    }

    EngineStopper stopper(pids);
    pumpUntilClosed(streams, stopper, feed ? &*feed : nullptr);
    feed.reset(); // a reader still waiting for input ends
    for (std::size_t i = 0; i < engines.size(); ++i) {
        if (pids[i] > 0) {
            outcomes[i].exitCode = waitForExit(pids[i], stopper);
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
