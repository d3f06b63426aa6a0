// The batch driver as its own process, killed or stopped at bad moments: the next start finds what
// it left and takes the jobs back with the command lines they had, and nothing it wrote for
// itself outlives a clean end, a stop or a dry run.

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Words operator+(Words words, const Words& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Waits until the condition holds, failing the test after 20 seconds.
void WaitFor(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        ASSERT_LT(std::chrono::steady_clock::now(), until) << "waited in vain";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

class BatchRestore : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"home", "rips", "tmp", "program/bin/Cantova"}) {
            fs::create_directories(temp_.Path() / folder);
        }
        setenv("HOME", temp_.File("home").c_str(), 1);
        setenv("XDG_STATE_HOME", temp_.File("state").c_str(), 1);
        setenv("TMPDIR", temp_.File("tmp").c_str(), 1);
        // The driver finds the recording transcoder in its program folder.
        const fs::path built = fs::path(CANTOVA_BATCH).parent_path();
        fs::copy_file(CANTOVA_BATCH, temp_.Path() / "program/bin/cantova-batch");
        fs::create_directory_symlink(fs::canonical(built / "../lib"), temp_.Path() / "program/lib");
        fs::create_symlink(CANTOVA_RECORDING_TRANSCODER,
                           temp_.Path() / "program/bin/Cantova/Cantova");
        setenv("CANTOVA_TEST_RECORD", temp_.File("calls").c_str(), 1);
        WriteText(source_, "stream");
    }
    void TearDown() override {
        for (const char* name :
             {"CANTOVA_TEST_RECORD", "CANTOVA_TEST_SLEEP_MS", "CANTOVA_TEST_PROGRESS",
              "CANTOVA_TEST_IGNORE_TERM", "XDG_STATE_HOME", "TMPDIR"}) {
            unsetenv(name);
        }
    }

    // Starts the driver (in the folder given, else the test's) with its standard output and error
    // output in files of the test.
    pid_t Start(const Words& arguments, const std::string& folder = {}) const {
        Words words{temp_.File("program/bin/cantova-batch")};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (const std::string& word : words) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, temp_.File("out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, temp_.File("err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (!folder.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        }
        pid_t pid = 0;
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
    // Runs the driver to its end: its exit status (-1 when a signal ended it).
    int Run(const Words& arguments, const std::string& folder = {}) const {
        const pid_t driver = Start(arguments, folder);
        int status = 0;
        EXPECT_EQ(waitpid(driver, &status, 0), driver);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() const { return ReadText(temp_.File("out")); }
    std::string Err() const { return ReadText(temp_.File("err")); }
    // The saved lists' text, all of them.
    std::string SavedLists() const {
        std::string text;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(temp_.Path() / "state/cantova", error)) {
            if (entry.path().extension() == ".list") {
                text += ReadText(entry.path().string());
            }
        }
        return text;
    }
    Words ThreeJobs(Words steps) const {
        for (const std::string step :
             {"select", source_.c_str(), "click", "CmdAddAudioJobList", "click",
              "CmdAddAudioJobList", "click", "CmdAddAudioJobList"}) {
            steps.push_back(step);
        }
        return steps;
    }

    TempFolder temp_;
    const std::string source_ = temp_.File("rips/film.mpa");
};

TEST_F(BatchRestore, AKilledRunComesBackWithItsCommandLinesAndRequeuesTheRunningJobs) {
    ASSERT_EQ(Run(ThreeJobs({"--dry-run"}) + Words{"commands", "line"}), 0) << Err();
    const std::string lines = Out();
    ASSERT_EQ(Count(lines, "-core("), 3u) << lines;

    // Two jobs run at once (with a private folder for their logs) when the driver is killed;
    // the transcoders it leaves end at their next progress line, which nobody reads.
    setenv("CANTOVA_TEST_SLEEP_MS", "60000", 1);
    setenv("CANTOVA_TEST_PROGRESS", "600", 1);
    const pid_t driver = Start(ThreeJobs({"--jobs", "2"}) + Words{"click", "cmdStartEncode"});
    WaitFor([&] { return Count(SavedLists(), "status=running") == 2; });
    kill(driver, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(driver, &status, 0), driver);
    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 5u) << "the source, 3 settings, 1 job file";
    EXPECT_EQ(FilesIn(temp_.Path() / "tmp").size(), 1u) << "the run's private folder";

    ASSERT_EQ(Run({"--dry-run", "--restore", "commands", "line"}), 0) << Err();
    EXPECT_NE(Out().find(lines), std::string::npos) << "a dry run sees the same lines\n" << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 5u) << "and changes nothing";

    EXPECT_EQ(Run({"commands", "line"}), 0);
    EXPECT_NE(Err().find("3 job(s) of an earlier session wait to be taken back with --restore"),
              std::string::npos)
        << Err();

    ASSERT_EQ(Run({"--restore", "commands", "line"}), 0) << Err();
    const std::string restored = Out();
    EXPECT_NE(restored.find("message: Restore: 3 job(s) of an earlier session taken back; the job "
                            "of \"" +
                            source_ + "\" was running and is queued again; the job of \"" +
                            source_ + "\" was running and is queued again\n"),
              std::string::npos)
        << restored;
    EXPECT_EQ(restored.substr(restored.find('\n') + 1), lines) << "byte for byte";
    // That driver ended cleanly with the jobs in its list: nothing of them or the dead run stays.
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"});
    EXPECT_TRUE(FilesIn(temp_.Path() / "tmp").empty());
    EXPECT_TRUE(FilesIn(temp_.Path() / "state/cantova").empty());
}

TEST_F(BatchRestore, TheJobsTakenBackRunToTheEnd) {
    setenv("CANTOVA_TEST_SLEEP_MS", "60000", 1);
    setenv("CANTOVA_TEST_PROGRESS", "600", 1);
    const pid_t driver = Start(ThreeJobs({}) + Words{"click", "cmdStartEncode"});
    WaitFor([&] { return Count(SavedLists(), "status=running") == 1; });
    kill(driver, SIGKILL);
    waitpid(driver, nullptr, 0);

    unsetenv("CANTOVA_TEST_SLEEP_MS");
    unsetenv("CANTOVA_TEST_PROGRESS");
    fs::remove(temp_.File("calls"));
    EXPECT_EQ(Run({"--restore", "click", "cmdStartEncode"}), 0) << Out() << Err();
    EXPECT_EQ(Count(ReadText(temp_.File("calls")), "-core("), 3u) << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"});
    EXPECT_TRUE(FilesIn(temp_.Path() / "state/cantova").empty());
}

TEST_F(BatchRestore, ExitKeepsTheJobsForTheNextStartAndTheEndOtherwiseRemovesThem) {
    ASSERT_EQ(Run(ThreeJobs({})), 0) << Err();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"})
        << "jobs never run leave no settings files";

    ASSERT_EQ(Run(ThreeJobs({}) + Words{"click", "cmdExit"}), 0) << Err();
    EXPECT_NE(Out().find("message: Exit: 3 job(s) in the list are kept for the next start"),
              std::string::npos)
        << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 4u);
    // A dry run keeps nothing: its Exit discards the jobs with their files.
    ASSERT_EQ(Run(Words{"--dry-run"} + ThreeJobs({}) + Words{"click", "cmdExit"}), 0) << Err();
    EXPECT_NE(Out().find("message: Exit: 3 job(s) in the list are discarded (a dry run keeps "
                         "nothing)"),
              std::string::npos)
        << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 4u);
    ASSERT_EQ(Run({"--restore", "print", "LstJobAudio(0).ListCount"}), 0) << Err();
    EXPECT_NE(Out().find("LstJobAudio(0).ListCount=3\n"), std::string::npos) << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"});
}

// A stop signal during a run ends it as Exit's Keep does: the running job is stopped and queued
// again, and it and the jobs not yet run wait for --restore, in their order.
TEST_F(BatchRestore, AStopSignalDuringARunKeepsTheJobsNotDoneForRestore) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        setenv("CANTOVA_TEST_SLEEP_MS", "60000", 1);
        fs::remove(temp_.File("calls"));
        const pid_t driver = Start(ThreeJobs({}) + Words{"click", "cmdStartEncode"});
        // Its command line written, not only its record file made (a moment earlier).
        WaitFor([&] { return Count(ReadText(temp_.File("calls")), "-core(") > 0; });
        kill(driver, signal);
        int status = 0;
        ASSERT_EQ(waitpid(driver, &status, 0), driver);
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_NE(Err().find("cantova-batch: stopped by signal " + std::to_string(signal) +
                             "; 3 job(s) not done are kept for the next start (--restore takes "
                             "them back)\n"),
                  std::string::npos)
            << Err();
        EXPECT_EQ(Count(ReadText(temp_.File("calls")), "-core("), 1u) << "no second job starts";
        EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 4u)
            << "the source and three settings files: the job file is gone";

        unsetenv("CANTOVA_TEST_SLEEP_MS");
        ASSERT_EQ(Run({"--restore", "dump"}), 0) << Err();
        const std::string dump = Out();
        EXPECT_NE(dump.find("message: Restore: 3 job(s) of an earlier session taken back\n"),
                  std::string::npos)
            << dump;
        const std::size_t first = dump.find("film.stream1.aud");
        const std::size_t second = dump.find("film.stream2.aud");
        const std::size_t third = dump.find("film.stream3.aud");
        EXPECT_TRUE(first < second && second < third) << "the stopped job first\n" << dump;
        EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"}) << "that driver ended";
    }
}

// The transcoder takes its time to end (it ignores SIGTERM until it is killed); a second signal
// meanwhile changes nothing of what is kept.
TEST_F(BatchRestore, ASecondSignalWhileTheRunStopsLosesNoJob) {
    setenv("CANTOVA_TEST_SLEEP_MS", "60000", 1);
    setenv("CANTOVA_TEST_IGNORE_TERM", "1", 1);
    const pid_t driver = Start(ThreeJobs({}) + Words{"click", "cmdStartEncode"});
    WaitFor([&] { return Count(ReadText(temp_.File("calls")), "-core(") > 0; });
    kill(driver, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(driver, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(driver, &status, 0), driver);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT) << "the last signal is the one told";
    EXPECT_NE(Err().find("3 job(s) not done are kept"), std::string::npos) << Err();
    unsetenv("CANTOVA_TEST_SLEEP_MS");
    unsetenv("CANTOVA_TEST_IGNORE_TERM");
    ASSERT_EQ(Run({"--restore", "print", "LstJobAudio(0).ListCount"}), 0) << Err();
    EXPECT_NE(Out().find("LstJobAudio(0).ListCount=3\n"), std::string::npos) << Out();
}

TEST_F(BatchRestore, AStateFolderThatCannotBeMadeIsToldAndTheJobsStillRun) {
    WriteText(temp_.File("state"), "a file where the folder would be");
    ASSERT_EQ(Run(ThreeJobs({}) + Words{"click", "cmdStartEncode"}), 0) << Out() << Err();
    EXPECT_EQ(Count(Err(), "cantova-batch: the job list cannot be saved in " + temp_.File("state") +
                               "/cantova, so a crash would lose the jobs\n"),
              1u)
        << Err();
    EXPECT_EQ(Count(ReadText(temp_.File("calls")), "-core("), 3u) << Out();
}

TEST_F(BatchRestore, AStopDuringALargeAddAndADryRunLeaveNothing) {
    const fs::path folder = temp_.Path() / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 3000; ++i) {
        WriteText((folder / ("track" + std::to_string(i) + ".wav")).string(), "");
    }
    const pid_t driver = Start({"add", folder.string()});
    WaitFor([&] { return FilesIn(folder).size() > 3100; });
    kill(driver, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(driver, &status, 0), driver);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
    EXPECT_EQ(FilesIn(folder).size(), 3000u);
    EXPECT_TRUE(FilesIn(temp_.Path() / "state/cantova").empty());

    ASSERT_EQ(Run(ThreeJobs({"--dry-run", "--jobs", "2"}) + Words{"click", "cmdStartEncode"}), 0)
        << Err();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"});
    EXPECT_TRUE(FilesIn(temp_.Path() / "tmp").empty());
    EXPECT_TRUE(FilesIn(temp_.Path() / "state/cantova").empty());
}

TEST_F(BatchRestore, ExitThatCannotKeepTheJobsSaysWhyEndsWithOneAndLeavesNothing) {
    WriteText(temp_.File("state"), "a file where the folder would be");
    EXPECT_EQ(Run(ThreeJobs({}) + Words{"click", "cmdExit"}), 1) << Out() << Err();
    EXPECT_NE(Out().find("message: Exit: 3 job(s) in the list could not be kept for the next "
                         "start (" +
                         temp_.File("state") +
                         "/cantova: Not a directory): they are discarded with their settings "
                         "files\n"),
              std::string::npos)
        << Out();
    EXPECT_EQ(Out().find("are kept"), std::string::npos) << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), Words{"film.mpa"});
}

// A list planted in the user's own state folder, naming a profile and a folder of the user's.
TEST_F(BatchRestore, APlantedListCostsTheUserNoFile) {
    const std::string profile = temp_.File("home/film.aud");
    const std::string folder = temp_.File("home/cantova-run-notes1");
    WriteText(profile, "[SETTING]\n");
    fs::create_directories(folder);
    WriteText(folder + "/job1.log", "mine");
    fs::create_directories(temp_.Path() / "state/cantova");
    fs::permissions(temp_.Path() / "state/cantova", fs::perms::owner_all);
    const std::string list = temp_.File("state/cantova/queue-999999-1.list");
    WriteText(list, "cantova job list 1\nending=open\nrun-folder=" + folder +
                        "\njob\nnumber=1\n"
                        "settings=" +
                        profile + "\nsource=" + source_ + "\noutput=\"" +
                        temp_.File("rips/Stream1.mp3") + "\"\nkind=1\ncodec=1\nstatus=done\n");
    ASSERT_EQ(Run({"--restore", "dump"}), 0) << Err();
    EXPECT_NE(Err().find("cantova-batch: the job list " + list + " is damaged (the job of \"" +
                         source_ + "\" is left out: its settings file \"" + profile +
                         "\" is none the program makes for the source \"" + source_ + "\")"),
              std::string::npos)
        << Err();
    EXPECT_TRUE(fs::exists(profile));
    EXPECT_TRUE(fs::exists(folder + "/job1.log"));
}

TEST_F(BatchRestore, ADamagedListIsNamedAndItsReadableJobsComeBack) {
    ASSERT_EQ(Run(ThreeJobs({}) + Words{"click", "cmdExit"}), 0) << Err();
    std::string list;
    for (const std::string& name : FilesIn(temp_.Path() / "state/cantova")) {
        list = name.ends_with(".list") ? temp_.File("state/cantova/" + name) : list;
    }
    ASSERT_FALSE(list.empty());
    std::string text = ReadText(list);
    text.replace(text.find("status=queued", text.find("number=2")), 13, "status=lost");
    WriteText(list, text.substr(0, text.size() - 3)); // and cut short
    ASSERT_EQ(Run({"--restore", "commands", "line"}), 0) << Err();
    EXPECT_NE(Err().find("cantova-batch: the job list " + list +
                         " is damaged (it is cut short; job 2 has no valid status): 2 job(s) in "
                         "it can be taken back; the damaged list is kept as " +
                         list + ".damaged\n"),
              std::string::npos)
        << Err();
    EXPECT_EQ(Count(Out(), "-core("), 2u) << Out();
    EXPECT_EQ(ReadText(list + ".damaged"), text.substr(0, text.size() - 3));
    // The job left out keeps its settings file: nothing is gone for good.
    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 2u);
}

TEST_F(BatchRestore, ARelativeOutputFolderComesBackFromAnotherFolder) {
    fs::create_directories(temp_.Path() / "outputs");
    ASSERT_EQ(Run(ThreeJobs({"set", "TxtOutputFolder.Text=outputs"}) + Words{"click", "cmdExit"},
                  temp_.Path().string()),
              0)
        << Out() << Err();
    ASSERT_EQ(Run({"--restore", "commands", "line"}, temp_.File("home")), 0) << Err();
    EXPECT_EQ(Count(Out(), "\"" + temp_.File("outputs") + "/Stream"), 3u) << Out();
    EXPECT_EQ(Out().find("missing"), std::string::npos) << Out();
    EXPECT_EQ(FilesIn(temp_.Path() / "outputs"), Words{})
        << "the end removed the three settings files";
}

} // namespace
