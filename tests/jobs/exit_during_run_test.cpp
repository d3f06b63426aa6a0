// Exit during a run offers what Exit with jobs offers: Keep for Next Start stops the run and keeps
// every job not done (the interrupted one queued again, its partial output gone), Discard stops it
// and removes the jobs' files, Cancel leaves the run going. The next start finds the kept jobs.

#include "fake_launcher.h"
#include "stand_in_services.h"

#include "app/program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
using app::ExitChoice;
using jobs::JobStatus;
namespace fs = std::filesystem;

// The person at the Exit question: the answer comes when the test gives it.
class HeldExitQuestion : public app::ExitQuestion {
public:
    struct Asked {
        int jobs;
        bool running;
    };
    void AskAboutJobs(int jobs, bool running, std::function<void(ExitChoice)> answer) override {
        asked.push_back({jobs, running});
        answer_ = std::move(answer);
    }
    void TellKept(int jobs) override { kept.push_back(jobs); }
    ExitChoice TellNotKept(int, const std::string& why) override {
        notKept.push_back(why);
        return ExitChoice::Cancel;
    }
    void Answer(ExitChoice choice) {
        ASSERT_TRUE(answer_) << "nothing was asked";
        std::exchange(answer_, nullptr)(choice);
    }

    std::vector<Asked> asked;
    std::vector<int> kept;
    std::vector<std::string> notKept;

private:
    std::function<void(ExitChoice)> answer_;
};

// One start of the program over the test's state folder.
struct Session {
    settings::ScriptedFileDialogs dialogs;
    RecordedMessages messages;
    StandInLoader loader;
    FakeLauncher launcher;
    HeldExitQuestion question;
    app::Program program;

    explicit Session(const std::string& stateFolder)
        : program({.dialogs = dialogs,
                   .messages = messages,
                   .processes = launcher,
                   .libraries = loader,
                   .stateFolder = stateFolder,
                   .exitQuestion = &question}) {}
    ui::MainWindow& main() { return program.windows.frmMain; }
    bool ended() const { return program.windows.program.ended; }
};

class ExitDuringRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        fs::create_directories(temp_.Path() / "rips");
        setenv("HOME", temp_.File("home").c_str(), 1);
        WriteText(source_, "stream");
        session_ = std::make_unique<Session>(temp_.File("state"));
    }
    // Four jobs of the source, started: the first ends done, the second failed, the third runs
    // and has written part of its output.
    void StartFourJobsAndRunToTheThird() {
        session_->dialogs.Answer(source_);
        session_->main().CmdBrowseStream1.press();
        for (int i = 0; i < 4; ++i) {
            session_->main().CmdAddAudioJobList.press();
        }
        session_->main().cmdStartEncode.press();
        FakeLauncher& launcher = session_->launcher;
        launcher.end(launcher.running().front());
        launcher.end(launcher.running().front(), 3);
        ASSERT_EQ(launcher.processes.size(), 3u);
        WriteText(partial_, "half an output");
    }
    std::string SettingsFile(int number) const {
        return temp_.File("rips/film.stream" + std::to_string(number) + ".aud");
    }
    bool Exists(const std::string& path) const { return fs::exists(fs::symlink_status(path)); }
    std::vector<int> NumbersInList() const {
        std::vector<int> numbers;
        for (const jobs::Job& job : session_->program.queue.jobs()) {
            numbers.push_back(job.number);
        }
        return numbers;
    }

    TempFolder temp_;
    const std::string source_ = temp_.File("rips/film.mpa");
    // What a transcoder killed before it could clean up leaves of job 3's output.
    const std::string partial_ = temp_.File("rips/.Stream3.part-999999999-1.mp3");
    std::unique_ptr<Session> session_;
};

TEST_F(ExitDuringRun, KeepStopsTheRunAndKeepsEveryJobNotDoneForTheNextStart) {
    StartFourJobsAndRunToTheThird();
    FakeLauncher& launcher = session_->launcher;
    session_->main().cmdExit.press();
    session_->main().cmdExit.press(); // a second press while the question is open asks nothing
    ASSERT_EQ(session_->question.asked.size(), 1u);
    EXPECT_EQ(session_->question.asked[0].jobs, 3) << "the failed, the running and the last job";
    EXPECT_TRUE(session_->question.asked[0].running);
    EXPECT_FALSE(launcher.processes[2].terminated) << "the run goes on while the question is open";

    session_->question.Answer(ExitChoice::Keep);
    EXPECT_TRUE(launcher.processes[2].terminated);
    EXPECT_FALSE(session_->ended()) << "the program waits for the run's end";
    session_->main().cmdExit.press();
    EXPECT_EQ(session_->question.asked.size(), 1u) << "no second question while the run stops";
    launcher.end(3);

    EXPECT_TRUE(session_->ended());
    EXPECT_EQ(launcher.processes.size(), 3u) << "the last job never started";
    EXPECT_EQ(session_->question.kept, std::vector<int>{3});
    EXPECT_TRUE(session_->messages.shown.empty()) << "no report and no log at an exit";
    EXPECT_EQ(NumbersInList(), (std::vector<int>{2, 3, 4}));
    const std::vector<jobs::Job>& jobs = session_->program.queue.jobs();
    EXPECT_EQ(jobs[0].status, JobStatus::Failed) << "left for Retry Failed";
    EXPECT_EQ(jobs[1].status, JobStatus::Queued) << "the interrupted job runs again";
    EXPECT_EQ(jobs[2].status, JobStatus::Queued);
    EXPECT_FALSE(Exists(partial_));
    EXPECT_FALSE(Exists(SettingsFile(1))) << "the done job left with its settings file";
    for (const int number : {2, 3, 4}) {
        EXPECT_TRUE(Exists(SettingsFile(number))) << number;
    }

    session_.reset();
    session_ = std::make_unique<Session>(temp_.File("state"));
    ASSERT_TRUE(session_->program.keeper);
    EXPECT_EQ(session_->program.keeper->leftJobCount(), 3);
    const jobs::TakenBack taken = session_->program.TakeBackLeftJobs();
    EXPECT_EQ(taken.jobs, 3);
    EXPECT_TRUE(taken.requeued.empty()) << "queued again already when it was kept";
    ASSERT_EQ(session_->program.queue.count(), 3);
    EXPECT_EQ(session_->program.queue.at(1).settingsFile, SettingsFile(3)) << "the order stays";
    EXPECT_EQ(session_->program.queue.at(1).status, JobStatus::Queued);
    EXPECT_EQ(session_->program.queue.at(0).status, JobStatus::Failed);
}

TEST_F(ExitDuringRun, DiscardStopsTheRunAndRemovesTheJobsAndTheirFiles) {
    StartFourJobsAndRunToTheThird();
    session_->main().cmdExit.press();
    session_->question.Answer(ExitChoice::Discard);
    EXPECT_FALSE(session_->ended());
    session_->launcher.end(3);
    EXPECT_TRUE(session_->ended());
    EXPECT_EQ(session_->launcher.processes.size(), 3u);
    session_.reset();
    EXPECT_FALSE(Exists(partial_));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(temp_.Path() / "rips")) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"film.mpa"});
    session_ = std::make_unique<Session>(temp_.File("state"));
    EXPECT_EQ(session_->program.keeper->leftJobCount(), 0);
}

TEST_F(ExitDuringRun, CancelLeavesTheRunGoingToItsEnd) {
    StartFourJobsAndRunToTheThird();
    FakeLauncher& launcher = session_->launcher;
    session_->main().cmdExit.press();
    launcher.end(3); // the run goes on while the question is open
    session_->question.Answer(ExitChoice::Cancel);
    launcher.endAll([] {});
    EXPECT_EQ(launcher.processes.size(), 4u);
    EXPECT_FALSE(launcher.processes[2].terminated);
    EXPECT_FALSE(session_->ended());
    EXPECT_FALSE(session_->program.runner.InProgress());
    EXPECT_EQ(NumbersInList(), std::vector<int>{2}) << "the failed job stays for a retry";
}

TEST_F(ExitDuringRun, TheRunEndingBeforeTheAnswerLeavesAnExitWithJobs) {
    StartFourJobsAndRunToTheThird();
    session_->main().cmdExit.press();
    session_->launcher.endAll([] {});
    session_->question.Answer(ExitChoice::Keep);
    EXPECT_TRUE(session_->ended());
    EXPECT_EQ(session_->question.kept, std::vector<int>{1}) << "the failed job";
}

TEST_F(ExitDuringRun, KeepingThatFailsSaysWhyAndTheStoppedJobsStayInTheList) {
    StartFourJobsAndRunToTheThird();
    fs::remove_all(temp_.Path() / "state");
    WriteText(temp_.File("state"), "a file where the folder was");
    session_->main().cmdExit.press();
    session_->question.Answer(ExitChoice::Keep);
    session_->launcher.end(3);
    ASSERT_EQ(session_->question.notKept.size(), 1u);
    EXPECT_NE(session_->question.notKept[0].find(temp_.File("state")), std::string::npos)
        << session_->question.notKept[0];
    EXPECT_FALSE(session_->ended());
    EXPECT_FALSE(session_->program.runner.InProgress());
    EXPECT_EQ(NumbersInList(), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(Exists(SettingsFile(3)));

    // Exit again, no run now: the jobs can still be discarded.
    session_->main().cmdExit.press();
    ASSERT_EQ(session_->question.asked.size(), 2u);
    EXPECT_FALSE(session_->question.asked[1].running);
    session_->question.Answer(ExitChoice::Discard);
    EXPECT_TRUE(session_->ended());
    session_.reset();
    EXPECT_FALSE(Exists(SettingsFile(3)));
}

} // namespace
