// The batch driver under faults: a dry run that must not touch the user's files, a run that would
// replace outputs, list items that do not exist yet, exit statuses. A stop by signal is in
// batch_restore_test.cpp, with the jobs it keeps.

#include "run_batch.h"

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
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

using cantova::test::BatchRun;
using cantova::test::RunBatch;

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class BatchFaults : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        fs::create_directories(temp_.Path() / "rips");
        setenv("HOME", temp_.File("home").c_str(), 1);
        WriteText(source_, "stream");
    }
    // Steps that add one MP3 job for the source and start the run.
    std::vector<std::string> AddAndStart(std::vector<std::string> options) const {
        for (const std::string step : {"select", source_.c_str(), "click", "CmdAddAudioJobList",
                                       "click", "cmdStartEncode"}) {
            options.push_back(step);
        }
        return options;
    }

    TempFolder temp_;
    const std::string source_ = temp_.File("rips/film.mpa");
    const std::string log_ = temp_.File("home/Audio_Stream.log");
};

TEST_F(BatchFaults, ADryRunLeavesTheOldLogAndDeletesOnlyWhatItMade) {
    WriteText(log_, "the last run's log");
    const BatchRun run = RunBatch(AddAndStart({"--dry-run"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Holds(run.out, "delete: " + log_ + "\n")) << run.out;
    EXPECT_TRUE(Holds(run.out, "run: ")) << run.out;
    EXPECT_TRUE(Holds(run.out, "message: Not Found: No Log File Found\n")) << run.out;
    EXPECT_EQ(ReadText(log_), "the last run's log");
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), std::vector<std::string>{"film.mpa"});
}

TEST_F(BatchFaults, ARunThatWouldReplaceAnOutputAsksAndIsAnsweredNoUnlessTold) {
    WriteText(temp_.File("rips/Stream1.mp3"), "kept");
    const BatchRun refused = RunBatch(AddAndStart({"--dry-run"}));
    EXPECT_TRUE(Holds(refused.out, "message: Replace Files: These files exist and the run would "
                                   "replace them:\n" +
                                       temp_.File("rips/Stream1.mp3") + "\nReplace them?\n"))
        << refused.out;
    EXPECT_FALSE(Holds(refused.out, "run: ")) << refused.out;
    EXPECT_EQ(ReadText(temp_.File("rips/Stream1.mp3")), "kept");

    const BatchRun told = RunBatch(AddAndStart({"--dry-run", "--overwrite"}));
    EXPECT_TRUE(Holds(told.out, "message: Replace Files: ")) << told.out;
    EXPECT_TRUE(Holds(told.out, "run: ")) << told.out;
}

TEST_F(BatchFaults, ListItemsAreLookedForWhenTheirStepRuns) {
    const BatchRun run =
        RunBatch({"--dry-run", "select", source_, "click", "CmdAddAudioJobList", "print",
                  "LstJobAudio(0).List(0)", "print", "LstJobAudio(1).ItemData(0)", "print",
                  "LstJobAudio(0).List(1)", "print", "TxtDelay.Text"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "LstJobAudio(0).List(0)=film.mpa\nLstJobAudio(1).ItemData(0)=1\n");
    EXPECT_TRUE(Holds(run.err, "there is no item 1 in LstJobAudio(0), which holds 1 item"))
        << run.err;
    // Names and the form of an item are still checked before anything runs.
    for (const std::string name : {"LstJobAudio(0).List(x)", "LstJobAudio(7).List(0)",
                                   "TxtDelay.List(0)", "LstJobAudio(0).Lisst(0)"}) {
        const BatchRun wrong = RunBatch({"click", "MenuAbout", "print", name});
        EXPECT_EQ(wrong.status, 2) << name;
        EXPECT_EQ(wrong.out, "") << name;
    }
}

TEST_F(BatchFaults, ASourceSetByNamePassesTheRulesOfAChosenOne) {
    const BatchRun run =
        RunBatch({"set", "TxtStreamAudio.Text=" + temp_.File("rips/a\"b.mpa"), "print",
                  "TxtStreamAudio.Text", "set", "TxtStreamAudio.Text=" + temp_.File("rips"),
                  "print", "TxtStreamAudio.Text"});
    EXPECT_EQ(run.status, 2) << "the refused sources";
    EXPECT_TRUE(Holds(run.out, "message: Error: The source path holds a double quote"));
    EXPECT_TRUE(Holds(run.out, "message: Error: The chosen source is a folder"));
    const std::string unchanged = "\nTxtStreamAudio.Text=\n";
    EXPECT_NE(run.out.find(unchanged), run.out.rfind(unchanged)) << run.out;
}

// A step refused with a message ends the driver with 2; the steps after it still run.
TEST_F(BatchFaults, RefusedStepsEndWithStatusTwoAndTheLaterStepsStillRun) {
    const std::string quoted = temp_.File("rips/say \"hi\".mpa");
    WriteText(quoted, "stream");
    const std::vector<std::vector<std::string>> refused{
        {"select", quoted},
        {"set", "TxtStreamAudio.Text=" + quoted},
        {"add", temp_.File("rips/gone.mpa")},
        {"add", temp_.File("rips/empty-folder")},
        {"load", temp_.File("rips/none.aud")},
        {"save", temp_.File("no/such/folder/p.aud")},
        // A setting the transcoder cannot run: Add names it.
        {"select", source_, "set", "frmPanelAudio.txtBitRateMP3.Text=999", "click",
         "CmdAddAudioJobList"},
        {"select", source_, "set", "CmbGainMode.ListIndex=4", "set", "TxtLoudnessTarget.Text=-50",
         "click", "CmdAddAudioJobList"},
        // An output folder the transcoder command line cannot carry, as a source.
        {"select", source_, "set", "TxtOutputFolder.Text=" + temp_.File("say \"hi\""), "click",
         "CmdAddAudioJobList"},
        {"set", "TxtOutputFolder.Text=" + temp_.File("say \"hi\""), "add", source_},
    };
    fs::create_directories(temp_.Path() / "rips/empty-folder");
    fs::create_directories(temp_.Path() / "say \"hi\"");
    for (std::vector<std::string> steps : refused) {
        steps.insert(steps.end(), {"print", "TxtDelay.Text"});
        const BatchRun run = RunBatch(steps);
        EXPECT_EQ(run.status, 2) << steps[0] << " " << steps[1] << "\n" << run.out;
        EXPECT_TRUE(Holds(run.out, "message: ")) << steps[1];
        EXPECT_TRUE(run.out.ends_with("TxtDelay.Text=0\n")) << "the later step ran: " << run.out;
    }
    const BatchRun named = RunBatch(refused[6]);
    EXPECT_TRUE(Holds(named.out, "\"MP3 bit rate\" (txtBitRateMP3) holds \"999\"")) << named.out;
    EXPECT_TRUE(Holds(RunBatch(refused[7]).out, "is not a number from -40 to -5"));
    for (const std::size_t quoted : {8, 9}) {
        const BatchRun folder = RunBatch(refused[quoted]);
        EXPECT_TRUE(Holds(folder.out, "message: Error: The output folder \"" +
                                          temp_.File("say \"hi\"") +
                                          "\" (TxtOutputFolder) holds a double quote"))
            << folder.out;
        EXPECT_EQ(FilesIn(temp_.Path() / "say \"hi\""), std::vector<std::string>{});
    }

    const BatchRun fine =
        RunBatch({"select", source_, "add", source_, "click", "CmdAddAudioJobList", "save",
                  temp_.File("rips/p.aud"), "load", temp_.File("rips/p.aud")});
    EXPECT_EQ(fine.status, 0) << fine.out;
}

// With a machine form on the standard output, a file name quoted in a message must not land in
// the script: every message goes to the error output.
TEST_F(BatchFaults, MachineFormsKeepTheirOutputClean) {
    const std::string planted = temp_.File("rips/$(touch planted).mpa");
    WriteText(planted, "stream");
    for (const char* form : {"shell", "json"}) {
        const BatchRun run = RunBatch({"add", planted, "add", temp_.File("rips/gone.mpa"), "print",
                                       "TxtDelay.Text", "commands", form});
        EXPECT_EQ(run.status, 2);
        std::istringstream lines(run.out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_TRUE(line.starts_with(std::string(form) == "shell" ? "'" : "[\""))
                << form << ": " << line;
        }
        EXPECT_EQ(count, 1) << run.out;
        EXPECT_TRUE(Holds(run.err, "message: Error: The source file")) << run.err;
        EXPECT_TRUE(Holds(run.err, "TxtDelay.Text=0\n")) << run.err;
    }
    const BatchRun plain = RunBatch(
        {"add", temp_.File("rips/gone.mpa"), "commands", "line", "print", "TxtDelay.Text"});
    EXPECT_TRUE(plain.out.starts_with("message: Error: The source file")) << plain.out;
    EXPECT_EQ(plain.err, "");
}

TEST_F(BatchFaults, UnknownOptionsAreRefused) {
    const BatchRun run = RunBatch({"--dry-rn", "dump"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "unknown option '--dry-rn'")) << run.err;
    EXPECT_EQ(run.out, "");
}

// The driver as its own process, with the recording transcoder in its program folder.
class BatchProcess : public BatchFaults {
protected:
    void SetUp() override {
        BatchFaults::SetUp();
        const fs::path built = fs::path(CANTOVA_BATCH).parent_path();
        fs::create_directories(temp_.Path() / "program/bin/Cantova");
        fs::copy_file(CANTOVA_BATCH, temp_.Path() / "program/bin/cantova-batch");
        fs::create_directory_symlink(fs::canonical(built / "../lib"), temp_.Path() / "program/lib");
        fs::create_symlink(CANTOVA_RECORDING_TRANSCODER,
                           temp_.Path() / "program/bin/Cantova/Cantova");
        setenv("CANTOVA_TEST_RECORD", temp_.File("calls").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("CANTOVA_TEST_RECORD");
        unsetenv("CANTOVA_TEST_SLEEP_MS");
    }
    // Starts the driver with its standard output thrown away and its error output into the
    // file errors, when one is given.
    pid_t Start(const std::vector<std::string>& arguments, const std::string& errors = {}) const {
        std::vector<std::string> words{temp_.File("program/bin/cantova-batch")};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (const std::string& word : words) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (!errors.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        pid_t pid = 0;
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
};

TEST_F(BatchProcess, JobsRunSideBySideWhenAskedAndEachLogBlockStaysWhole) {
    const auto calls = [&] {
        const std::string text = ReadText(temp_.File("calls"));
        std::size_t count = 0;
        for (auto at = text.find("-core("); at != std::string::npos;
             at = text.find("-core(", at + 1)) {
            ++count;
        }
        return count;
    };
    setenv("CANTOVA_TEST_SLEEP_MS", "60000", 1);
    const pid_t driver =
        Start({"--jobs", "2", "select", source_, "click", "CmdAddAudioJobList", "click",
               "CmdAddAudioJobList", "click", "CmdAddAudioJobList", "click", "cmdStartEncode"});
    while (calls() < 2) { // two transcoders run at once, the third waits
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(calls(), 2u);
    kill(driver, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(driver, &status, 0), driver);
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);

    EXPECT_EQ(FilesIn(temp_.Path() / "rips").size(), 4u) << "the stopped jobs are kept";

    // Short jobs to the end, the kept ones too: each transcoder's log line reaches the run's log.
    setenv("CANTOVA_TEST_SLEEP_MS", "100", 1);
    const pid_t quick = Start({"--restore", "--jobs", "3", "--overwrite", "select", source_,
                               "click", "CmdAddAudioJobList", "click", "CmdAddAudioJobList",
                               "click", "CmdAddAudioJobList", "click", "cmdStartEncode"});
    ASSERT_EQ(waitpid(quick, &status, 0), quick);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string log = ReadText(log_);
    for (const char* output : {"Stream1.mp3", "Stream2.mp3", "Stream3.mp3", "Stream6.mp3"}) {
        EXPECT_NE(log.find("transcoded " + temp_.File(std::string("rips/") + output) + "\n"),
                  std::string::npos)
            << log;
    }
    EXPECT_EQ(FilesIn(temp_.Path() / "rips"), std::vector<std::string>{"film.mpa"});
}

TEST_F(BatchProcess, TheExitStatusTellsWhetherEveryJobFinished) {
    const auto exitStatus = [&](const std::vector<std::string>& arguments) {
        const pid_t driver = Start(arguments);
        int status = 0;
        EXPECT_EQ(waitpid(driver, &status, 0), driver);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(exitStatus(AddAndStart({})), 0);
    setenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream", 1);
    EXPECT_EQ(exitStatus(AddAndStart({"--overwrite"})), 1);
    unsetenv("CANTOVA_TEST_FAIL_OUTPUT");
    EXPECT_EQ(exitStatus({"dump"}), 0);
    // With an output in the way the question is answered no, so the job never starts.
    WriteText(temp_.File("rips/Stream1.mp3"), "kept");
    EXPECT_EQ(exitStatus(AddAndStart({})), 1);
}

// Not on a terminal, the error output gets a line when each job starts and at each tenth.
TEST_F(BatchProcess, ProgressLinesGoToTheErrorOutput) {
    setenv("CANTOVA_TEST_SLEEP_MS", "200", 1);
    setenv("CANTOVA_TEST_PROGRESS", "20", 1);
    const pid_t driver = Start({"select", source_, "click", "CmdAddAudioJobList", "click",
                                "CmdAddAudioJobList", "click", "cmdStartEncode"},
                               temp_.File("errors"));
    int status = 0;
    ASSERT_EQ(waitpid(driver, &status, 0), driver);
    unsetenv("CANTOVA_TEST_PROGRESS");
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string expected;
    for (const int job : {1, 2}) {
        for (int percent = 0; percent <= 100; percent += 10) {
            expected +=
                "progress: job " + std::to_string(job) + ": " + std::to_string(percent) + "%\n";
        }
    }
    EXPECT_EQ(ReadText(temp_.File("errors")), expected);
}

} // namespace
