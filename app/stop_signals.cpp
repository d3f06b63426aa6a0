#include "app/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>

namespace cantova::app {

namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

std::atomic<int> gReceived{0};
std::array<int, 2> gPipe{-1, -1};

void NoteStop(int signal) {
    gReceived.store(signal);
    const char byte = 1;
    // Full pipe: a byte is already there, which is all the watcher needs.
    [[maybe_unused]] const ssize_t ignored = write(gPipe[1], &byte, 1);
}

} // namespace

StopSignals::StopSignals() {
    gReceived.store(0);
    if (pipe2(gPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        gPipe = {-1, -1};
        return;
    }
    struct sigaction action {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals) {
        sigaction(signal, &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (const int signal : kStopSignals) {
        std::signal(signal, SIG_DFL);
    }
    for (int& fd : gPipe) {
        if (fd >= 0) {
            close(fd);
        }
        fd = -1;
    }
}

int StopSignals::descriptor() const {
    return gPipe[0];
}

int StopSignals::received() const {
    return gReceived.load();
}

} // namespace cantova::app
