#pragma once

// SIGINT, SIGTERM and SIGHUP as a request to stop: while an instance lives, the signals no longer
// end the program at once; each is noted and makes a pipe readable, so that a wait for a child
// process can watch for it and the program can clean up before it ends.

namespace cantova::app {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Readable once a stop signal has arrived.
    int descriptor() const;
    // The last stop signal that arrived, 0 while none has.
    int received() const;
};

} // namespace cantova::app
