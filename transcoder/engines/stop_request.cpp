#include "engines/stop_request.h"

#include <csignal>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

constexpr std::sig_atomic_t kStoppedBySignal = 1;
constexpr std::sig_atomic_t kOutputClosed = 2;

volatile std::sig_atomic_t stopCause = 0;

extern "C" void rememberStop(int) {
    stopCause = kStoppedBySignal;
}

} // namespace

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = rememberStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a waiting poll returns at once
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested() {
    return stopCause != 0;
}

void requestStopForClosedOutput() {
    if (stopCause == 0) {
        stopCause = kOutputClosed;
    }
}

std::string stopReason() {
    return stopCause == kOutputClosed
               ? "stopped: the standard output was closed (nobody reads the progress any more)"
               : "stopped by a signal";
}

int standardOutputToWatch() {
    struct stat status {};
    if (::fstat(STDOUT_FILENO, &status) != 0) {
        return -1;
    }
    return S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) ? STDOUT_FILENO : -1;
}

} // namespace cantova
