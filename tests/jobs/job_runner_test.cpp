// The runner with a launcher that starts nothing: statuses and reasons, stopping, retrying,
// reordering, several jobs at once, and each job's log block.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "settings/paths.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
using jobs::JobStatus;
namespace fs = std::filesystem;

class Runner : public ::testing::Test, protected LauncherBase<FakeLauncher>, public TestProgram {
protected:
    Runner() : TestProgram(launcher) {}

    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        setenv("HOME", temp_.File("home").c_str(), 1);
        for (const char* name : {"a.mpa", "b.mpa", "c.mpa", "d.mpa"}) {
            WriteText(temp_.File(name), "stream");
        }
    }
    // Adds one MP3 job for each source, in order.
    void AddJobs(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
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
    std::vector<std::string> Sources() const {
        std::vector<std::string> names;
        for (const jobs::Job& job : program.queue.jobs()) {
            names.push_back(fs::path(job.source).filename().string());
        }
        return names;
    }
    // The input argument of the process's command.
    std::string InputOf(jobs::ProcessId process) const {
        const std::string& command = launcher.processes.at(process - 1).command;
        const auto at = command.find("-input \"") + 8;
        return fs::path(command.substr(at, command.find('"', at) - at)).filename().string();
    }

    // Records, while it lives, the curves file each job names after each change to it (the run
    // removes a done job from the list, so it is seen only here).
    class CurvesWatch {
    public:
        explicit CurvesWatch(jobs::JobQueue& queue) : queue_(queue) {
            watch_ = queue_.subscribe([this](const jobs::JobListChange& change) {
                if (change.kind == jobs::JobListChange::Kind::Updated) {
                    const jobs::Job& job = queue_.at(change.first);
                    curvesOf[job.number] = job.curvesFile;
                }
            });
        }
        ~CurvesWatch() { queue_.unsubscribe(watch_); }
        CurvesWatch(const CurvesWatch&) = delete;
        CurvesWatch& operator=(const CurvesWatch&) = delete;

        std::map<int, std::string> curvesOf;

    private:
        jobs::JobQueue& queue_;
        int watch_ = 0;
    };

    TempFolder temp_;
};

TEST_F(Runner, FailedStoppedAndSkippedJobsStayWithTheirReasonsDoneOnesLeave) {
    AddJobs({"a.mpa", "b.mpa", "c.mpa", "d.mpa"});
    fs::remove(program.queue.at(2).settingsFile); // c cannot be restored
    main.cmdStartEncode.press();
    EXPECT_EQ(Statuses(), (std::vector<JobStatus>{JobStatus::Running, JobStatus::Queued,
                                                  JobStatus::Queued, JobStatus::Queued}));
    launcher.writeLine(1, "progress 40%");
    EXPECT_EQ(program.queue.at(0).percent, 40);
    launcher.end(1);                                        // a: done
    launcher.end(2, 1, "Cantova: failed: the engine died"); // b: failed; c is skipped
    ASSERT_EQ(InputOf(3), "d.mpa");
    program.runner.StopNow(); // d: stopped
    EXPECT_TRUE(launcher.processes[2].terminated);
    launcher.end(3);

    EXPECT_FALSE(program.runner.InProgress());
    EXPECT_EQ(Sources(), (std::vector<std::string>{"b.mpa", "c.mpa", "d.mpa"}));
    EXPECT_EQ(Statuses(),
              (std::vector<JobStatus>{JobStatus::Failed, JobStatus::Skipped, JobStatus::Stopped}));
    EXPECT_EQ(program.queue.at(0).reason,
              "the transcoder failed (exit status 1): Cantova: failed: the engine died");
    EXPECT_EQ(program.queue.at(1).reason, "skipped, its settings file is missing");
    EXPECT_EQ(program.queue.at(2).reason, "stopped before it finished");
    EXPECT_TRUE(fs::exists(program.queue.at(0).settingsFile)) << "kept for a retry";
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 3);
    EXPECT_EQ(notifier.ends, (std::vector<std::pair<int, int>>{{1, 3}}));
    // The list boxes mirror the model.
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 3);
    EXPECT_EQ(main.LstJobAudio(0).list(0), "b.mpa");
    EXPECT_EQ(main.LstJobFile(0).listCount(), 0) << "the job file is gone with the run";
}

TEST_F(Runner, RetryRunsOnlyTheJobsThatDidNotFinish) {
    AddJobs({"a.mpa", "b.mpa"});
    main.cmdStartEncode.press();
    launcher.end(1, 3);
    launcher.end(2);
    AddJobs({"c.mpa"}); // queued after the run, not part of a retry
    program.runner.RetryFailed();
    ASSERT_EQ(launcher.running().size(), 1u);
    EXPECT_EQ(InputOf(3), "a.mpa");
    launcher.end(3);
    EXPECT_EQ(Sources(), std::vector<std::string>{"c.mpa"});
    EXPECT_EQ(Statuses(), std::vector<JobStatus>{JobStatus::Queued});
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 0);
}

TEST_F(Runner, StopAfterTheCurrentJobLetsItFinishAndStartsNoOther) {
    AddJobs({"a.mpa", "b.mpa", "c.mpa"});
    main.cmdStartEncode.press();
    program.runner.StopAfterCurrent();
    EXPECT_FALSE(launcher.processes[0].terminated);
    launcher.end(1);
    EXPECT_FALSE(program.runner.InProgress());
    EXPECT_EQ(launcher.processes.size(), 1u);
    EXPECT_EQ(Sources(), (std::vector<std::string>{"b.mpa", "c.mpa"}));
    EXPECT_EQ(Statuses(), (std::vector<JobStatus>{JobStatus::NotStarted, JobStatus::NotStarted}));
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 2);
}

TEST_F(Runner, ReorderingChangesTheRunOrderOnly) {
    AddJobs({"a.mpa", "b.mpa", "c.mpa"});
    const std::string cSettings = program.queue.at(2).settingsFile;
    program.queue.select(2);
    program.jobList.MoveSelected(-1);
    program.jobList.MoveSelected(-1);
    EXPECT_EQ(Sources(), (std::vector<std::string>{"c.mpa", "a.mpa", "b.mpa"}));
    EXPECT_EQ(main.LstJobAudio(0).listIndex(), 0) << "the selection moves with the job";
    EXPECT_EQ(program.queue.at(0).number, 3) << "numbers stay";
    EXPECT_EQ(program.queue.at(0).settingsFile, cSettings);
    EXPECT_FALSE(program.queue.move(0, -1)) << "the first cannot move up";
    main.cmdStartEncode.press();
    // Jobs still queued can be moved during the run.
    program.queue.move(1, +1);
    launcher.endAll([] {});
    ASSERT_EQ(launcher.processes.size(), 3u);
    EXPECT_EQ(InputOf(1), "c.mpa");
    EXPECT_EQ(InputOf(2), "b.mpa");
    EXPECT_EQ(InputOf(3), "a.mpa");
    EXPECT_NE(launcher.processes[0].command.find("Stream3.mp3"), std::string::npos);
}

TEST_F(Runner, SeveralJobsAtOnceNeverMoreThanAsked) {
    AddJobs({"a.mpa", "b.mpa", "c.mpa", "d.mpa"});
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    std::size_t most = 0;
    launcher.endAll([&] { most = std::max(most, launcher.running().size()); });
    EXPECT_EQ(most, 2u);
    EXPECT_EQ(launcher.processes.size(), 4u);
    // The commands are built in list order, one at a time, so the windows end as with one.
    EXPECT_EQ(InputOf(1), "a.mpa");
    EXPECT_EQ(InputOf(2), "b.mpa");
    EXPECT_EQ(InputOf(4), "d.mpa");
    EXPECT_EQ(program.queue.count(), 0);
}

TEST_F(Runner, EachJobOfAParallelRunWritesItsLogBlockWholeInListOrder) {
    AddJobs({"a.mpa", "b.mpa", "c.mpa"});
    program.runner.setJobsAtOnce(2);
    main.cmdStartEncode.press();
    ASSERT_EQ(launcher.running().size(), 2u);
    // Each transcoder appends to the log its command names, interleaved in time.
    const auto logOf = [this](jobs::ProcessId process) {
        const std::string& command = launcher.processes[process - 1].command;
        const auto at = command.find("-logfilea \"") + 11;
        return command.substr(at, command.find('"', at) - at);
    };
    const std::vector<std::string> logs{logOf(1), logOf(2)};
    ASSERT_NE(logs[0], logs[1]);
    for (int line = 0; line < 2; ++line) {
        for (std::size_t job = 0; job < logs.size(); ++job) {
            std::ofstream(logs[job], std::ios::app) << "job " << job << " line " << line << "\n";
        }
    }
    // b ends first, then c starts and ends, and a last: the blocks still come as a, b, c.
    launcher.end(2);
    EXPECT_EQ(ReadText(settings::TranscoderLogPath()), "") << "b waits for a";
    std::ofstream(logOf(3), std::ios::app) << "job 2 line 0\n";
    launcher.end(3);
    launcher.end(1);
    EXPECT_EQ(ReadText(settings::TranscoderLogPath()),
              "job 0 line 0\njob 0 line 1\njob 1 line 0\njob 1 line 1\njob 2 line 0\n");
    EXPECT_FALSE(fs::exists(logs[0]) || fs::exists(logs[1]));
}

// A parallel run's jobs write their loudness curves beside their own logs, in the run's private
// folder: they are kept beside the run's log before that folder goes, and the jobs name them there.
TEST_F(Runner, TheCurvesOfAParallelRunOutliveItsPrivateFolder) {
    AddJobs({"a.mpa", "b.mpa"});
    program.runner.setJobsAtOnce(2);
    CurvesWatch watch(program.queue);
    main.cmdStartEncode.press();
    ASSERT_EQ(launcher.running().size(), 2u);
    std::vector<std::string> written;
    for (jobs::ProcessId process : {1, 2}) {
        const std::string& command = launcher.processes[process - 1].command;
        const auto at = command.find("-logfilea \"") + 11;
        const fs::path log = command.substr(at, command.find('"', at) - at);
        written.push_back((log.parent_path() / (log.stem().string() + ".loudness")).string());
        WriteText(written.back(), "cantova-loudness 1\njob " + std::to_string(process) + "\n");
        launcher.writeLine(process, "sound: curves: " + written.back());
    }
    launcher.endAll([] {});
    EXPECT_EQ(program.queue.count(), 0);
    const fs::path home = temp_.Path() / "home";
    for (const int job : {1, 2}) {
        const std::string output = watch.curvesOf[job];
        SCOPED_TRACE(output);
        EXPECT_EQ(fs::path(output).parent_path(), home);
        EXPECT_TRUE(output.ends_with(".mp3.loudness"));
        EXPECT_EQ(ReadText(output), "cantova-loudness 1\njob " + std::to_string(job) + "\n");
        EXPECT_FALSE(fs::exists(written[static_cast<std::size_t>(job - 1)]));
    }
    EXPECT_NE(watch.curvesOf[1], watch.curvesOf[2]);
}

// A job that fails after naming its curves (while naming its outputs, say) offers no picture:
// the transcoder removed the curves with the outputs that never got their names.
TEST_F(Runner, AJobThatDidNotFinishKeepsNoCurves) {
    AddJobs({"a.mpa", "b.mpa"});
    CurvesWatch watch(program.queue);
    main.cmdStartEncode.press();
    for (jobs::ProcessId process : {1, 2}) {
        launcher.writeLine(process,
                           "sound: curves: " + temp_.File("curves" + std::to_string(process)));
        launcher.end(process, process == 1 ? 0 : 1);
    }
    EXPECT_EQ(watch.curvesOf[1], temp_.File("curves1"));
    ASSERT_EQ(Statuses(), std::vector<JobStatus>{JobStatus::Failed});
    EXPECT_EQ(program.queue.at(0).curvesFile, "");
    EXPECT_EQ(watch.curvesOf[2], "");
}

// Without a temporary folder for the jobs' own logs their lines would interleave in one log: the
// run says so and runs one job at a time, and nothing escapes the run.
TEST_F(Runner, AnUnusableTemporaryFolderRunsOneJobAtATime) {
    WriteText(temp_.File("a-file"), "");
    fs::create_directories(temp_.Path() / "locked");
    fs::permissions(temp_.Path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<std::string> folders{temp_.File("missing"), temp_.File("a-file")};
    if (geteuid() != 0) { // root writes anywhere
        folders.push_back(temp_.File("locked"));
    }
    const char* before = std::getenv("TMPDIR");
    const std::string saved = before != nullptr ? before : "";
    program.runner.setJobsAtOnce(2);
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        setenv("TMPDIR", folder.c_str(), 1);
        AddJobs({"a.mpa", "b.mpa"});
        messages.shown.clear();
        main.cmdStartEncode.press();
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_NE(messages.shown[0].text.find("one at a time"), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(folder), std::string::npos) << messages.shown[0].text;
        std::size_t most = 0;
        launcher.endAll([&] { most = std::max(most, launcher.running().size()); });
        EXPECT_EQ(most, 1u);
        EXPECT_EQ(program.queue.count(), 0);
    }
    fs::permissions(temp_.Path() / "locked", fs::perms::owner_all);
    if (before != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

} // namespace
