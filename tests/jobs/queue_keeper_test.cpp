// The job list kept on disk: its text survives any path, programs running side by side never take
// each other's list, and what an earlier session left comes back (or goes) with its files.

#include "jobs/queue_keeper.h"
#include "jobs/saved_queue.h"
#include "ui/message_boxes.h"
#include "ui/windows.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

using namespace cantova;
using namespace cantova::jobs;
namespace fs = std::filesystem;

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A program's job list (mirrored into a main window nobody sees) and its keeper.
struct Session {
    ui::SilentMessageBoxes silent;
    ui::Windows windows{silent};
    std::unique_ptr<JobQueue> queue;
    std::unique_ptr<QueueKeeper> keeper;

    explicit Session(const std::string& stateFolder, bool saving = true) {
        windows.frmMain.Form_Load();
        queue = std::make_unique<JobQueue>(windows.frmMain);
        keeper = std::make_unique<QueueKeeper>(*queue, stateFolder, saving);
    }
    // The program dies: its keeper neither keeps nor discards anything.
    void Crash() {
        keeper.reset();
        queue.reset();
    }
};

class QueueKeeperTest : public ::testing::Test {
protected:
    Job MakeJob(int number, JobStatus status) const {
        const std::string n = std::to_string(number);
        Job job;
        job.number = number;
        job.source = temp_.File("track" + n + ".ac3");
        job.settingsFile = temp_.File("track" + n + ".stream" + n + ".aud");
        job.outputArgument = "\"" + temp_.File("Stream" + n + ".mp3") + "\"";
        job.kind = ui::JobKind::Mp3FromAc3;
        job.codec = ui::Codec::Mp3;
        job.targetBitrate = 192;
        job.sourceSeconds = 12.5;
        job.status = status;
        job.inRun = status != JobStatus::Queued;
        WriteText(job.settingsFile, "[SETTING]\nCodec=MP3\n");
        return job;
    }
    std::string State() const { return temp_.File("state"); }

    TempFolder temp_;
};

TEST(SavedQueue, AnyPathAndFieldComesBackAsItWas) {
    SavedQueue saved;
    Job job;
    job.number = 7;
    job.settingsFile = "/m\\dia/new\nline=x/a b.stream7.aud";
    job.source = "/m\\dia/new\nline=x/$(touch x)\r.ac3";
    job.outputArgument = "\"/m\\dia/Stream7.wav\" -6ch";
    job.copy = true;
    job.targetBitrate = 448;
    job.kind = ui::JobKind::WavFromAc3;
    job.codec = ui::Codec::Wav;
    job.sourceSeconds = 3.25;
    job.status = JobStatus::Failed;
    job.inRun = true;
    job.reason = "the transcoder failed\nbadly";
    saved.jobs = {job};
    saved.runJobFile = "/m/a\nb.task";
    saved.runFolder = "/tmp/cantova-run-AbC";
    saved.kept = true;

    const std::optional<SavedQueue> back = ParseSavedQueue(FormatSavedQueue(saved));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->jobs.size(), 1u);
    const Job& got = back->jobs[0];
    EXPECT_EQ(got.number, 7);
    EXPECT_EQ(got.settingsFile, job.settingsFile);
    EXPECT_EQ(got.source, job.source);
    EXPECT_EQ(got.outputArgument, job.outputArgument);
    EXPECT_TRUE(got.copy);
    EXPECT_EQ(got.targetBitrate, 448);
    EXPECT_EQ(got.kind, ui::JobKind::WavFromAc3);
    EXPECT_EQ(got.codec, ui::Codec::Wav);
    EXPECT_DOUBLE_EQ(got.sourceSeconds, 3.25);
    EXPECT_EQ(got.status, JobStatus::Failed);
    EXPECT_TRUE(got.inRun);
    EXPECT_EQ(got.reason, job.reason);
    EXPECT_EQ(back->runJobFile, saved.runJobFile);
    EXPECT_EQ(back->runFolder, saved.runFolder);
    EXPECT_TRUE(back->kept);
    EXPECT_EQ(got.track, 0);
    EXPECT_EQ(FormatSavedQueue(saved).find("track="), std::string::npos)
        << "a stream's job is written as before";
}

TEST(SavedQueue, AContainersTrackComesBack) {
    SavedQueue saved;
    Job job;
    job.number = 2;
    job.settingsFile = "/films/film.stream2.aud";
    job.source = "/films/film.mkv";
    job.track = 3;
    job.outputArgument = "\"/films/Stream2.mp3\"";
    saved.jobs = {job};
    const std::optional<SavedQueue> back = ParseSavedQueue(FormatSavedQueue(saved));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->jobs.size(), 1u);
    EXPECT_EQ(back->jobs[0].track, 3);
}

TEST(SavedQueue, DamagedTextsAreNoList) {
    const std::string good = "cantova job list 1\nending=open\njob\nnumber=1\nsettings=/a.aud\n"
                             "source=/a.ac3\noutput=\"/Stream1.mp3\"\nkind=1\ncodec=1\n"
                             "status=queued\n";
    ASSERT_TRUE(ParseSavedQueue(good));
    EXPECT_FALSE(ParseSavedQueue("cantova job list 2\n"));
    EXPECT_FALSE(ParseSavedQueue(good.substr(0, good.size() - 1)));  // cut short
    EXPECT_FALSE(ParseSavedQueue(good + "reason=bad \\x escape\n")); // unknown escape
    EXPECT_FALSE(ParseSavedQueue(good + "no equals sign\n"));        // not a field
    for (const char* broken : {"number=0", "kind=9", "codec=4", "status=lost", "settings="}) {
        std::string text = good;
        const std::string key = std::string(broken).substr(0, std::string(broken).find('=') + 1);
        const auto at = text.find(key);
        text.replace(at, text.find('\n', at) - at, broken);
        EXPECT_FALSE(ParseSavedQueue(text)) << broken;
    }
}

TEST_F(QueueKeeperTest, ProgramsSideBySideNeverTakeEachOthersList) {
    Session first(State());
    first.queue->append(MakeJob(1, JobStatus::Queued));
    Session second(State());
    EXPECT_EQ(second.keeper->leftJobCount(), 0) << "the first program still runs";
    second.queue->append(MakeJob(2, JobStatus::Queued));

    first.Crash();
    Session third(State());
    EXPECT_EQ(third.keeper->leftJobCount(), 1) << "only the dead program's job is left";
    EXPECT_EQ(third.keeper->TakeBack().jobs, 1);
    ASSERT_EQ(third.queue->count(), 1);
    EXPECT_EQ(third.queue->at(0).source, temp_.File("track1.ac3"));

    // The second program's list stays its own, and the taken list is gone.
    Session fourth(State());
    EXPECT_EQ(fourth.keeper->leftJobCount(), 0);
}

TEST_F(QueueKeeperTest, TakingBackRequeuesTheRunningJobAndCleansTheDeadRun) {
    const std::string runFolder = temp_.File("cantova-run-Xy12");
    fs::create_directory(runFolder);
    WriteText(runFolder + "/job2.log", "half a log");
    const std::string jobFile = temp_.File("track1.task");
    WriteText(jobFile, "[AUDIO]\n");
    // What a transcoder that died and one that still runs (this process) wrote for job 2.
    const std::string deadPart = temp_.File(".Stream2.part-999999999-1.mp3");
    const std::string livePart = temp_.File(".Stream2.part-" + std::to_string(getpid()) + "-1.mp3");
    WriteText(deadPart, "partial");
    WriteText(livePart, "partial");
    std::string doneSettings;
    {
        Session dead(State());
        const Job done = MakeJob(1, JobStatus::Done);
        doneSettings = done.settingsFile;
        dead.queue->append(done);
        dead.queue->append(MakeJob(2, JobStatus::Running));
        dead.queue->append(MakeJob(3, JobStatus::Failed));
        dead.queue->append(MakeJob(4, JobStatus::Queued));
        dead.queue->setRunFolder(runFolder);
        dead.queue->setRunJobFile(jobFile);
        dead.Crash();
    }
    Session next(State());
    EXPECT_EQ(next.keeper->leftJobCount(), 3);
    // A job added before the answer already holds number 2.
    next.queue->append(MakeJob(2, JobStatus::Queued));
    const TakenBack taken = next.keeper->TakeBack();
    EXPECT_EQ(taken.jobs, 3);
    EXPECT_EQ(taken.done, 1);
    ASSERT_EQ(taken.requeued.size(), 1u);
    EXPECT_EQ(taken.requeued[0], temp_.File("track2.ac3"));

    ASSERT_EQ(next.queue->count(), 4);
    const Job& requeued = next.queue->at(1);
    EXPECT_EQ(requeued.status, JobStatus::Queued);
    EXPECT_NE(requeued.number, 2) << "numbers stay apart";
    EXPECT_EQ(requeued.outputArgument, "\"" + temp_.File("Stream2.mp3") + "\"");
    EXPECT_EQ(next.queue->at(2).status, JobStatus::Failed) << "left for Retry Failed";
    EXPECT_EQ(next.queue->at(3).status, JobStatus::Queued);

    EXPECT_FALSE(Exists(doneSettings)) << "a done job's settings file goes, as after its run";
    EXPECT_TRUE(Exists(requeued.settingsFile));
    EXPECT_FALSE(Exists(deadPart));
    EXPECT_TRUE(Exists(livePart)) << "a transcoder still running removes its own";
    EXPECT_FALSE(Exists(jobFile));
    EXPECT_FALSE(Exists(runFolder));
}

TEST_F(QueueKeeperTest, DiscardingRemovesOnlyFilesOfTheProgramsKinds) {
    // A list that names files the program never makes: none of them may go.
    const std::string userFile = temp_.File("letter.txt");
    const std::string linkTarget = temp_.File("precious.aud");
    const std::string plantedLink = temp_.File("planted.aud");
    WriteText(userFile, "mine");
    WriteText(linkTarget, "mine");
    fs::create_symlink(linkTarget, plantedLink);
    const std::string ownSettings = MakeJob(3, JobStatus::Queued).settingsFile;
    {
        Session dead(State());
        Job hostile = MakeJob(1, JobStatus::Queued);
        hostile.settingsFile = userFile;
        dead.queue->append(hostile);
        hostile.number = 2;
        hostile.settingsFile = plantedLink;
        dead.queue->append(hostile);
        dead.queue->append(MakeJob(3, JobStatus::Queued));
        dead.queue->setRunJobFile(userFile);
        dead.queue->setRunFolder(temp_.File("home"));
        fs::create_directory(temp_.File("home"));
        dead.Crash();
    }
    Session next(State());
    next.keeper->DiscardLeft();
    EXPECT_TRUE(Exists(userFile));
    EXPECT_TRUE(Exists(linkTarget));
    EXPECT_TRUE(Exists(plantedLink));
    EXPECT_TRUE(Exists(temp_.File("home")));
    EXPECT_FALSE(Exists(ownSettings));
    EXPECT_EQ(next.queue->count(), 0);
    EXPECT_EQ(Names(State()).size(), 1u) << "only the running program's lock stays";
}

TEST_F(QueueKeeperTest, TheEndKeepsOrDiscardsAndADryRunOnlyBorrows) {
    std::string kept;
    {
        Session exiting(State());
        const Job job = MakeJob(1, JobStatus::Queued);
        kept = job.settingsFile;
        exiting.queue->append(job);
        exiting.keeper->KeepForNextStart();
    }
    EXPECT_TRUE(Exists(kept));
    {
        Session dryRun(State(), false);
        EXPECT_EQ(dryRun.keeper->Borrow().jobs, 1);
        dryRun.queue->append(MakeJob(2, JobStatus::Queued));
        dryRun.keeper->DiscardAll();
        EXPECT_TRUE(Exists(kept)) << "a borrowed job's file is not the dry run's to remove";
        EXPECT_FALSE(Exists(temp_.File("track2.stream2.aud")));
    }
    {
        Session discarding(State());
        ASSERT_EQ(discarding.keeper->leftJobCount(), 1) << "a dry run leaves the list as it was";
        discarding.keeper->TakeBack();
        discarding.keeper->DiscardAll();
    }
    EXPECT_FALSE(Exists(kept));
    EXPECT_TRUE(Names(State()).empty()) << "a clean end leaves nothing in the state folder";
}

TEST_F(QueueKeeperTest, ChangesPutOffAreSavedWhenPending) {
    Session dead(State());
    dead.keeper->setScheduler([](std::chrono::milliseconds) {});
    for (int n = 1; n <= 300; ++n) {
        dead.queue->append(MakeJob(n, JobStatus::Queued));
    }
    dead.keeper->SavePending();
    dead.Crash();
    Session next(State());
    EXPECT_EQ(next.keeper->leftJobCount(), 300);
}

TEST_F(QueueKeeperTest, AListThatCannotBeSavedIsToldOnce) {
    WriteText(temp_.File("not a folder"), "");
    const std::string blocked = temp_.File("not a folder") + "/state";
    Session session(blocked);
    std::vector<std::string> told;
    session.keeper->setSavingProblemNotice(
        [&](const std::string& problem) { told.push_back(problem); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0],
              "the job list cannot be saved in " + blocked + ", so a crash would lose the jobs");
    session.queue->append(MakeJob(1, JobStatus::Queued));
    session.queue->append(MakeJob(2, JobStatus::Queued));
    EXPECT_EQ(told.size(), 1u);

    Session working(State());
    working.keeper->setSavingProblemNotice(
        [&](const std::string& problem) { told.push_back(problem); });
    working.queue->append(MakeJob(3, JobStatus::Queued));
    EXPECT_EQ(told.size(), 1u);
    EXPECT_FALSE(working.keeper->SavingProblem());
}

} // namespace
