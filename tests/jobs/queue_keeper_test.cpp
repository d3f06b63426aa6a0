// The job list kept on disk: its text survives any path, programs running side by side never take
// each other's list, and what an earlier session left comes back (or goes) with its files.

#include "jobs/left_lists.h"
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

    const SavedQueueReading reading = ReadSavedQueue(FormatSavedQueue(saved));
    EXPECT_TRUE(reading.problems.empty());
    const SavedQueue* back = &reading.saved;
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
    const SavedQueueReading back = ReadSavedQueue(FormatSavedQueue(saved));
    EXPECT_TRUE(back.problems.empty());
    ASSERT_EQ(back.saved.jobs.size(), 1u);
    EXPECT_EQ(back.saved.jobs[0].track, 3);
}

TEST(SavedQueue, DamageLeavesOutOnlyWhatCannotBeReadAndSaysWhy) {
    const std::string job = "job\nnumber=1\nsettings=/a.aud\nsource=/a.ac3\n"
                            "output=\"/Stream1.mp3\"\nkind=1\ncodec=1\nstatus=queued\n";
    const std::string good = "cantova job list 1\nending=open\n" + job + job;
    const SavedQueueReading sound = ReadSavedQueue(good);
    EXPECT_TRUE(sound.problems.empty());
    EXPECT_EQ(sound.saved.jobs.size(), 2u);
    const auto read = [](const std::string& text) {
        const SavedQueueReading reading = ReadSavedQueue(text);
        std::string problems;
        for (const std::string& problem : reading.problems) {
            problems += problem + "|";
        }
        return std::to_string(reading.saved.jobs.size()) + " " + problems;
    };
    EXPECT_EQ(read("cantova job list 2\n" + job), "0 it is of an unknown version (\"cantova job "
                                                  "list 2\")|");
    EXPECT_EQ(read("a letter\n"), "0 it is no job list|");
    EXPECT_EQ(read(good.substr(0, good.size() - 1)),
              "1 it is cut short|job 2 has no valid status|");
    EXPECT_EQ(read(good + "reason=bad \\x escape\n"), "1 job 2 holds a line that is no field|");
    EXPECT_EQ(read(good + "no equals sign\n"), "1 job 2 holds a line that is no field|");
    std::string crlf;
    for (const char c : good) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(read(crlf), "2 its lines end in CR LF|");
    EXPECT_EQ(ReadSavedQueue(crlf).saved.jobs[1].status, JobStatus::Queued);
    for (const char* broken : {"number=0", "kind=11", "codec=6", "status=lost", "settings="}) {
        std::string text = good;
        const std::string key = std::string(broken).substr(0, std::string(broken).find('=') + 1);
        const auto at = text.find(key);
        text.replace(at, text.find('\n', at) - at, broken);
        EXPECT_EQ(read(text), "1 job 1 has no valid " + key.substr(0, key.size() - 1) + "|");
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
    const std::string runFolder = temp_.File("cantova-run-Xy12ab");
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
    ASSERT_EQ(next.keeper->LeftListProblems().size(), 1u);
    EXPECT_NE(next.keeper->LeftListProblems()[0].find("is none the program makes"),
              std::string::npos);
    const std::vector<std::string> names = Names(State());
    ASSERT_EQ(names.size(), 2u) << "the running program's lock and the list put aside";
    EXPECT_TRUE(names[0].ends_with(".list.damaged")) << names[0];
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

// Lists that someone else could have put there are not read, so nothing they name is removed.
TEST_F(QueueKeeperTest, ListsOthersCouldHaveWrittenAreNotReadAndWhatTheyNameStays) {
    const Job done = MakeJob(1, JobStatus::Done);
    const std::string list = FormatSavedQueue({{done}, std::nullopt, std::nullopt, false});
    const auto plant = [&](const std::string& folder) {
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all);
        WriteText(folder + "/queue-999999-1.list", list);
        return folder + "/queue-999999-1.list";
    };
    const auto told = [](const QueueKeeper& keeper, const std::string& part) {
        return keeper.LeftListProblems().size() == 1 &&
               keeper.LeftListProblems()[0].find(part) != std::string::npos;
    };
    const std::string everyone = temp_.File("everyone");
    plant(everyone);
    fs::permissions(everyone, fs::perms::all);
    Session inEveryones(everyone);
    EXPECT_TRUE(told(*inEveryones.keeper, "others may write to it"));
    inEveryones.keeper->TakeBack();
    EXPECT_EQ(inEveryones.queue->count(), 0);

    const std::string linked = temp_.File("linked");
    fs::create_directories(linked);
    fs::create_symlink(plant(temp_.File("elsewhere")), linked + "/queue-999999-1.list");
    Session withLink(linked);
    EXPECT_TRUE(told(*withLink.keeper, "is not read: it cannot be opened"));

    // Another user's folder, and another user's list in the user's folder.
    const std::string theirs = temp_.File("theirs");
    const std::string theirList = plant(temp_.File("mine"));
    plant(theirs);
    if (chown(theirs.c_str(), geteuid() + 1, static_cast<gid_t>(-1)) == 0 &&
        chown(theirList.c_str(), geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
        Session inTheirs(theirs, false);
        EXPECT_TRUE(told(*inTheirs.keeper, "the folder is not the user's own"));
        Session withTheirList(temp_.File("mine"));
        EXPECT_TRUE(told(*withTheirList.keeper, "it is not the user's own file"));
        withTheirList.keeper->TakeBack();
        EXPECT_TRUE(Exists(theirList));
    }
    EXPECT_TRUE(Exists(done.settingsFile)) << "a done job's file goes only by a list to trust";
}

// The user's own list may still name anything: only what the program writes there goes.
TEST_F(QueueKeeperTest, WhatAListNamesGoesOnlyWhenTheProgramWouldHaveWrittenItThere) {
    const std::string profile = temp_.File("film.aud");
    const std::string notes = temp_.File("cantova-run-notes1");
    const std::string liveRun = temp_.File("cantova-run-live01");
    WriteText(profile, "[SETTING]\n");
    fs::create_directory(notes);
    WriteText(notes + "/job1.log", "a log");
    WriteText(notes + "/notes.txt", "mine");
    fs::create_directory(liveRun);
    WriteText(liveRun + "/job1.log", "a running job's log");
    WriteText(temp_.File("letter.task"), "mine");
    // A program that runs now, with a run of its own going on.
    Session running(State());
    running.queue->append(MakeJob(5, JobStatus::Running));
    running.queue->setRunFolder(liveRun);

    Job profileJob = MakeJob(1, JobStatus::Done);
    profileJob.settingsFile = profile;
    const Job done = MakeJob(2, JobStatus::Done);
    const Job othersFile = MakeJob(5, JobStatus::Queued);
    WriteText(State() + "/queue-999999-1.list",
              FormatSavedQueue({{profileJob, done}, temp_.File("letter.task"), notes, false}));
    WriteText(State() + "/queue-999999-2.list",
              FormatSavedQueue({{othersFile}, std::nullopt, liveRun, false}));

    Session next(State());
    ASSERT_EQ(next.keeper->LeftListProblems().size(), 1u);
    EXPECT_NE(next.keeper->LeftListProblems()[0].find("its settings file \"" + profile +
                                                      "\" is none the program makes"),
              std::string::npos)
        << next.keeper->LeftListProblems()[0];
    const TakenBack taken = next.keeper->TakeBack();
    EXPECT_EQ(taken.done, 1);
    EXPECT_EQ(taken.jobs, 0) << "the running program's job stays its own";
    next.keeper->DiscardAll();
    EXPECT_TRUE(Exists(profile));
    EXPECT_TRUE(Exists(notes + "/notes.txt"));
    EXPECT_TRUE(Exists(notes + "/job1.log")) << "a folder with more than logs is not a run's";
    EXPECT_TRUE(Exists(temp_.File("letter.task")));
    EXPECT_TRUE(Exists(liveRun + "/job1.log")) << "a running program's files are its own";
    EXPECT_TRUE(Exists(temp_.File("track5.stream5.aud")));
    EXPECT_FALSE(Exists(done.settingsFile)) << "what the program did write still goes";
}

TEST_F(QueueKeeperTest, ADamagedListGivesBackWhatCanBeReadAndIsKeptAside) {
    std::string text =
        FormatSavedQueue({{MakeJob(1, JobStatus::Queued), MakeJob(2, JobStatus::Queued),
                           MakeJob(3, JobStatus::Queued)},
                          std::nullopt,
                          std::nullopt,
                          true});
    text.replace(text.find("codec=1", text.find("number=2")), 7, "codec=x");
    std::string damaged;
    for (const char c : text) {
        damaged += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    fs::create_directories(State());
    fs::permissions(State(), fs::perms::owner_all);
    const std::string list = State() + "/queue-999999-1.list";
    WriteText(list, damaged);
    const std::string why = "the job list " + list +
                            " is damaged (its lines end in CR LF; job 2 has no valid codec): 2 "
                            "job(s) in it can be taken back";
    {
        Session dryRun(State(), false);
        ASSERT_EQ(dryRun.keeper->LeftListProblems(), std::vector<std::string>{why});
        EXPECT_EQ(dryRun.keeper->Borrow().jobs, 2);
        EXPECT_EQ(ReadText(list), damaged) << "a dry run changes nothing";
    }
    Session next(State());
    ASSERT_EQ(next.keeper->LeftListProblems(),
              std::vector<std::string>{why + "; the damaged list is kept as " + list + ".damaged"});
    EXPECT_EQ(ReadText(list + ".damaged"), damaged) << "byte for byte";
    Session later(State());
    EXPECT_TRUE(later.keeper->LeftListProblems().empty()) << "told once";
    EXPECT_EQ(later.keeper->leftJobCount(), 0) << "the next start has them";
    EXPECT_EQ(next.keeper->TakeBack().jobs, 2);
    ASSERT_EQ(next.queue->count(), 2);
    EXPECT_EQ(next.queue->at(1).source, temp_.File("track3.ac3"));
}

TEST_F(QueueKeeperTest, AListTooLargeToBeOneIsRefusedUnread) {
    fs::create_directories(State());
    fs::permissions(State(), fs::perms::owner_all);
    const std::string list = State() + "/queue-999999-1.list";
    WriteText(list, FormatSavedQueue({{MakeJob(1, JobStatus::Queued)}, {}, {}, false}));
    fs::resize_file(list, kLargestList + 1);
    Session next(State());
    ASSERT_EQ(next.keeper->LeftListProblems().size(), 1u);
    EXPECT_NE(next.keeper->LeftListProblems()[0].find("(it is larger than 64 MiB): 0 job(s)"),
              std::string::npos)
        << next.keeper->LeftListProblems()[0];
    EXPECT_EQ(fs::file_size(list + ".damaged"), kLargestList + 1);
    EXPECT_FALSE(Exists(list)) << "nothing of it could be read";
}

TEST_F(QueueKeeperTest, TheTemporaryListOfASaveKilledHalfWayIsTidiedUnlessItsProgramRuns) {
    Session running(State());
    running.queue->append(MakeJob(1, JobStatus::Queued));
    std::string runningStem;
    for (const std::string& name : Names(State())) {
        if (name.ends_with(".list")) {
            runningStem = State() + "/" + name.substr(0, name.size() - 5);
        }
    }
    ASSERT_FALSE(runningStem.empty());
    WriteText(runningStem + ".tmp", "half");
    WriteText(State() + "/queue-999999-1.tmp", "half");
    WriteText(State() + "/queue-999999-2.tmp", "half");
    WriteText(State() + "/queue-999999-2.lock", "");
    Session next(State());
    EXPECT_TRUE(Exists(runningStem + ".tmp"));
    EXPECT_FALSE(Exists(State() + "/queue-999999-1.tmp"));
    EXPECT_FALSE(Exists(State() + "/queue-999999-2.tmp"));
    EXPECT_FALSE(Exists(State() + "/queue-999999-2.lock"));
}

// The list cannot be written at the end: nothing is claimed, and the jobs can still be discarded.
TEST_F(QueueKeeperTest, KeepingThatFailsSaysWhyAndLeavesTheJobsToBeDiscarded) {
    Session exiting(State());
    const Job job = MakeJob(1, JobStatus::Queued);
    exiting.queue->append(job);
    fs::remove_all(State());
    WriteText(State(), "a file where the folder was");
    const std::optional<std::string> why = exiting.keeper->KeepForNextStart();
    ASSERT_TRUE(why);
    EXPECT_TRUE(why->starts_with(State() + "/queue-")) << *why;
    EXPECT_TRUE(why->ends_with(": Not a directory")) << *why;
    EXPECT_TRUE(Exists(job.settingsFile));
    exiting.keeper->DiscardAll();
    EXPECT_FALSE(Exists(job.settingsFile)) << "no settings file stays that no list names";
}

// Killed after it made a job's settings file or a run's job file, before its list named them.
TEST_F(QueueKeeperTest, FilesMadeAfterTheLastSaveAreTidiedWhenTheListIsTakenBack) {
    {
        Session dead(State());
        dead.queue->append(MakeJob(1, JobStatus::Queued));
        dead.Crash();
    }
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator(State())) {
        fs::last_write_time(entry.path(), now - std::chrono::minutes(2));
    }
    const auto made = [&](const std::string& name, std::chrono::seconds ago) {
        WriteText(temp_.File(name), "[SETTING]\n");
        fs::last_write_time(temp_.File(name), now - ago);
        return temp_.File(name);
    };
    const std::string unsaved = made("track1_1.stream2.aud", std::chrono::seconds(60));
    const std::string jobFile = made("track1.task", std::chrono::seconds(60));
    const std::string older = made("track1.stream3.aud", std::chrono::seconds(600));
    const std::string justMade = made("track1.stream4.aud", std::chrono::seconds(0));
    const std::string ofAnotherSource = made("other.stream5.aud", std::chrono::seconds(60));
    const std::string ofAnEarlierJob = made("other.stream1.aud", std::chrono::seconds(60));
    const std::string users = made("track1.notes.aud", std::chrono::seconds(60));
    Session next(State());
    // Added before the answer, of the same source: this program's.
    Job added = MakeJob(6, JobStatus::Queued);
    added.source = temp_.File("track1.ac3");
    added.settingsFile = made("track1.stream6.aud", std::chrono::seconds(60));
    next.queue->append(added);
    EXPECT_EQ(next.keeper->TakeBack().jobs, 1);
    EXPECT_FALSE(Exists(unsaved));
    EXPECT_FALSE(Exists(jobFile));
    EXPECT_TRUE(Exists(older)) << "written before the list: not the dead program's";
    EXPECT_TRUE(Exists(justMade)) << "a running program may not have saved it yet";
    EXPECT_FALSE(Exists(ofAnotherSource)) << "a job added after the save, of another file";
    EXPECT_TRUE(Exists(ofAnEarlierJob)) << "numbered as a saved job: not one added after it";
    EXPECT_TRUE(Exists(users));
    EXPECT_TRUE(Exists(added.settingsFile));
    EXPECT_TRUE(Exists(next.queue->at(1).settingsFile));
}

} // namespace
