// The run's states: the table of moves, and the moves a runner makes as a person starts, stops
// and retries runs while jobs end, each told to the observers with the state before and after.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "jobs/run_state.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
using jobs::JobStatus;
using jobs::RunEvent;
using jobs::RunState;
namespace fs = std::filesystem;

TEST(RunStates, EachEventMovesOnlyWhereItMeansSomething) {
    const std::vector<RunState> states{RunState::Idle,     RunState::Starting, RunState::Running,
                                       RunState::Draining, RunState::Stopping, RunState::Finishing};
    const std::vector<RunEvent> events{
        RunEvent::Start,   RunEvent::Refused,     RunEvent::Launched, RunEvent::StopAfterCurrent,
        RunEvent::StopNow, RunEvent::NothingLeft, RunEvent::Finished};
    // Every move there is; any other pair of state and event leaves the state as it is.
    const std::map<std::pair<RunState, RunEvent>, RunState> moves{
        {{RunState::Idle, RunEvent::Start}, RunState::Starting},
        {{RunState::Starting, RunEvent::Refused}, RunState::Idle},
        {{RunState::Starting, RunEvent::Launched}, RunState::Running},
        {{RunState::Running, RunEvent::StopAfterCurrent}, RunState::Draining},
        {{RunState::Running, RunEvent::StopNow}, RunState::Stopping},
        {{RunState::Draining, RunEvent::StopNow}, RunState::Stopping},
        {{RunState::Running, RunEvent::NothingLeft}, RunState::Finishing},
        {{RunState::Draining, RunEvent::NothingLeft}, RunState::Finishing},
        {{RunState::Stopping, RunEvent::NothingLeft}, RunState::Finishing},
        {{RunState::Finishing, RunEvent::Finished}, RunState::Idle},
    };
    for (const RunState state : states) {
        for (const RunEvent event : events) {
            const auto move = moves.find({state, event});
            const std::optional<RunState> next = jobs::NextRunState(state, event);
            EXPECT_EQ(next.has_value(), move != moves.end())
                << jobs::RunStateName(state) << " event " << static_cast<int>(event);
            if (next && move != moves.end()) {
                EXPECT_EQ(*next, move->second) << jobs::RunStateName(state);
            }
        }
    }
    EXPECT_FALSE(jobs::RunInProgress(RunState::Idle));
    EXPECT_FALSE(jobs::RunInProgress(RunState::Finishing));
    EXPECT_TRUE(jobs::RunInProgress(RunState::Draining));
}

class RunMoves : public ::testing::Test, protected LauncherBase<FakeLauncher>, public TestProgram {
protected:
    RunMoves() : TestProgram(launcher) {
        program.runner.observe([this](const jobs::RunStateChange& change) {
            EXPECT_EQ(change.to, program.runner.state()) << "observers hear after the change";
            moves.push_back(jobs::RunStateName(change.from) + ">" + jobs::RunStateName(change.to));
        });
    }
    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        setenv("HOME", temp_.File("home").c_str(), 1);
        for (const char* name : {"a.mpa", "b.mpa", "c.mpa"}) {
            WriteText(temp_.File(name), "stream");
            ASSERT_TRUE(program.sources.Select(temp_.File(name)));
            main.CmdAddAudioJobList.press();
        }
    }
    std::vector<JobStatus> Statuses() const {
        std::vector<JobStatus> statuses;
        for (const jobs::Job& job : program.queue.jobs()) {
            statuses.push_back(job.status);
        }
        return statuses;
    }
    const std::string& Report() const { return messages.shown.at(0).text; }

    std::vector<std::string> moves;
    TempFolder temp_;
};

TEST_F(RunMoves, ARunGoesThroughEachStateOnceAndTheNotificationComesAtItsEnd) {
    main.cmdStartEncode.press();
    EXPECT_EQ(moves, (std::vector<std::string>{"idle>starting", "starting>running"}));
    EXPECT_EQ(program.runner.state(), RunState::Running);
    launcher.endAll([] {});
    EXPECT_EQ(moves, (std::vector<std::string>{"idle>starting", "starting>running",
                                               "running>finishing", "finishing>idle"}));
    EXPECT_EQ(notifier.ends, (std::vector<std::pair<int, int>>{{3, 0}}));
    EXPECT_EQ(main.caption(), main.form().caption);
}

TEST_F(RunMoves, ARefusedStartGoesBackToIdleAndTellsNoEnd) {
    windows.program.TranscoderPath = "";
    main.cmdStartEncode.press();
    EXPECT_EQ(moves, (std::vector<std::string>{"idle>starting", "starting>idle"}));
    EXPECT_TRUE(notifier.ends.empty());
    EXPECT_TRUE(launcher.processes.empty());
}

TEST_F(RunMoves, StopsMeanNothingWhereNoJobRuns) {
    program.runner.StopNow();
    program.runner.StopAfterCurrent();
    EXPECT_TRUE(moves.empty());
    // An observer that stops the run while it starts or finishes changes nothing either.
    program.runner.observe([this](const jobs::RunStateChange& change) {
        if (change.to == RunState::Starting || change.to == RunState::Finishing) {
            program.runner.StopNow();
            program.runner.StopAfterCurrent();
        }
    });
    main.cmdStartEncode.press();
    launcher.endAll([] {});
    EXPECT_EQ(moves.back(), "finishing>idle");
    EXPECT_EQ(moves.size(), 4u);
    EXPECT_EQ(program.queue.count(), 0) << "every job ran";
}

TEST_F(RunMoves, StopNowLeavesTheJobsItNeverStartedNotStartedAndRetryRunsThem) {
    main.cmdStartEncode.press();
    program.runner.StopNow();
    EXPECT_EQ(program.runner.state(), RunState::Stopping);
    EXPECT_TRUE(launcher.processes[0].terminated);
    program.runner.StopAfterCurrent(); // weaker than the stop under way
    EXPECT_EQ(program.runner.state(), RunState::Stopping);
    launcher.end(1);
    EXPECT_EQ(moves,
              (std::vector<std::string>{"idle>starting", "starting>running", "running>stopping",
                                        "stopping>finishing", "finishing>idle"}));
    EXPECT_EQ(Statuses(), (std::vector<JobStatus>{JobStatus::Stopped, JobStatus::NotStarted,
                                                  JobStatus::NotStarted}));
    EXPECT_EQ(jobs::StatusName(JobStatus::NotStarted), "not started");
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 3);
    EXPECT_FALSE(program.runner.lastRunEndedForExit());
    EXPECT_NE(Report().find("stopped before it finished"), std::string::npos) << Report();
    EXPECT_NE(Report().find("2 jobs were not started"), std::string::npos) << Report();

    program.runner.RetryFailed();
    launcher.endAll([] {});
    EXPECT_EQ(launcher.processes.size(), 4u) << "the stopped job and both never started";
    EXPECT_EQ(program.queue.count(), 0);
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 0);
}

TEST_F(RunMoves, StopAfterCurrentDrainsAndStopNowStillEndsTheDrain) {
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    ASSERT_EQ(launcher.running().size(), 2u);
    program.runner.StopAfterCurrent();
    EXPECT_EQ(program.runner.state(), RunState::Draining);
    launcher.end(1); // the first job ends while the run drains: done, nothing new starts
    EXPECT_EQ(launcher.processes.size(), 2u);
    program.runner.StopNow();
    EXPECT_EQ(program.runner.state(), RunState::Stopping);
    EXPECT_TRUE(launcher.processes[1].terminated);
    launcher.end(2);
    EXPECT_EQ(moves, (std::vector<std::string>{"idle>starting", "starting>running",
                                               "running>draining", "draining>stopping",
                                               "stopping>finishing", "finishing>idle"}));
    EXPECT_EQ(Statuses(), (std::vector<JobStatus>{JobStatus::Stopped, JobStatus::NotStarted}));
    EXPECT_EQ(notifier.ends, (std::vector<std::pair<int, int>>{{1, 2}}));
}

TEST_F(RunMoves, AJobThatEndsWellWhileStoppingIsDone) {
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    program.runner.StopNow();
    // The first transcoder had finished before the stop reached it; the second had not.
    launcher.processes[0].terminated = false;
    launcher.end(1);
    EXPECT_EQ(program.runner.state(), RunState::Stopping);
    launcher.end(2);
    EXPECT_EQ(Statuses(), (std::vector<JobStatus>{JobStatus::Stopped, JobStatus::NotStarted}));
    EXPECT_EQ(notifier.ends, (std::vector<std::pair<int, int>>{{1, 2}}));
}

// A stop request to the program (a signal to the batch driver) ends the run as Stop Now does, for
// the program's end: the jobs it stopped or never came to are queued again, to be kept.
TEST_F(RunMoves, AStopRequestToTheProgramStopsTheRunAsStopNowDoesForTheEnd) {
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    launcher.processes[0].terminated = true; // stopped from outside, not through the runner
    launcher.end(1);
    EXPECT_EQ(program.runner.state(), RunState::Stopping);
    EXPECT_TRUE(launcher.processes[1].terminated) << "the other running job is stopped too";
    launcher.end(2);
    EXPECT_EQ(launcher.processes.size(), 2u);
    EXPECT_EQ(Statuses(),
              (std::vector<JobStatus>{JobStatus::Queued, JobStatus::Queued, JobStatus::Queued}));
    EXPECT_TRUE(program.runner.lastRunEndedForExit());
    EXPECT_NE(Report().find("stopped before it finished"), std::string::npos)
        << "the report, as after Stop Now";
}

// A start refused for want of files or processes is no fault of the job: it waits for a running
// job to end and is tried again; alone, it fails with the system's reason.
TEST_F(RunMoves, AStartShortOfResourcesWaitsForARunningJobOrFailsWithTheRealReason) {
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    launcher.failStart(2, EMFILE);
    EXPECT_EQ(program.queue.at(1).status, JobStatus::Queued);
    EXPECT_EQ(launcher.processes.size(), 2u) << "nothing starts while the limit holds";
    launcher.end(1);
    ASSERT_EQ(launcher.processes.size(), 4u);
    EXPECT_NE(launcher.processes[2].command.find("b.mpa"), std::string::npos)
        << "the same job again, first";
    launcher.failStart(3, EAGAIN);
    launcher.end(4);
    ASSERT_EQ(launcher.processes.size(), 5u);
    launcher.failStart(5, EMFILE); // nothing else runs now
    EXPECT_EQ(Statuses(), std::vector<JobStatus>{JobStatus::Failed});
    EXPECT_EQ(program.queue.at(0).reason, "could not start the transcoder: too many open files");
    EXPECT_NE(Report().find("Job 2 (b.mpa): could not start"), std::string::npos)
        << "it kept its place in the run: " << Report();
}

TEST_F(RunMoves, AMissingTranscoderIsNoShortageOfResources) {
    main.cmdStartEncode.press();
    launcher.failStart(1, ENOENT);
    EXPECT_EQ(program.queue.at(0).status, JobStatus::Failed);
    EXPECT_NE(program.queue.at(0).reason.find("the transcoder could not be started"),
              std::string::npos);
    launcher.endAll([] {});
}

} // namespace
