#include "stop_request.h"

#include <csignal>
#include <initializer_list>

namespace cantova {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void rememberStop(int signal) {
    stopSignal = signal;
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
}

bool stopRequested() {
    return stopSignal != 0;
}

} // namespace cantova
