#include "jobs/run_state.h"

namespace cantova::jobs {

std::string RunStateName(RunState state) {
    switch (state) {
    case RunState::Idle:
        return "idle";
    case RunState::Starting:
        return "starting";
    case RunState::Running:
        return "running";
    case RunState::Draining:
        return "draining";
    case RunState::Stopping:
        return "stopping";
    case RunState::Finishing:
        return "finishing";
    }
    return {};
}

std::optional<RunState> NextRunState(RunState state, RunEvent event) {
    using S = RunState;
    using E = RunEvent;
    switch (state) {
    case S::Idle:
        if (event == E::Start) {
            return S::Starting;
        }
        break;
    case S::Starting:
        if (event == E::Refused) {
            return S::Idle;
        }
        if (event == E::Launched) {
            return S::Running;
        }
        break;
    case S::Running:
        if (event == E::StopAfterCurrent) {
            return S::Draining;
        }
        [[fallthrough]];
    case S::Draining:
        if (event == E::StopNow) {
            return S::Stopping;
        }
        [[fallthrough]];
    case S::Stopping:
        if (event == E::NothingLeft) {
            return S::Finishing;
        }
        break;
    case S::Finishing:
        if (event == E::Finished) {
            return S::Idle;
        }
        break;
    }
    return std::nullopt;
}

bool RunInProgress(RunState state) {
    return state == RunState::Starting || state == RunState::Running ||
           state == RunState::Draining || state == RunState::Stopping;
}

} // namespace cantova::jobs
