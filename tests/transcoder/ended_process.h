#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cantova::testing {

// The id of a process that has ended: what a killed run's files are named after.
inline pid_t endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace cantova::testing
