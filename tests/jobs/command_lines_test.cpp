// The command lines the user copies, checked against what a run gives the transcoder: the shell
// form run by bash and the JSON form parsed give the very argument vectors of the run.

#include "cmdline/command_forms.h"
#include "job_run_fixture.h"

#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace cantova;
using namespace cantova::test;

// Runs the program with the arguments, without a shell in between; its exit status.
int RunProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Writes the arguments of a JSON array as the recording transcoder writes its own.
constexpr const char* kRecordJsonArguments = "import json, sys\n"
                                             "args = json.loads(sys.argv[1])\n"
                                             "assert all(isinstance(a, str) for a in args)\n"
                                             "with open(sys.argv[2], 'ab') as out:\n"
                                             "    out.write(str(len(args)).encode() + b'\\n')\n"
                                             "    for a in args:\n"
                                             "        out.write(a.encode() + b'\\0')\n";

TEST_F(JobRun, CopiedLinesGiveTheRunsArgumentsInEveryForm) {
    AddJob(1);
    AddJob(2);
    main.OptAudioCodec[0].setValue(true);
    main.ChkAC3Reencode.setValue(0); // kept as it is: no line
    main.CmdAddAudioJobList.press();
    main.OptAudioCodec[3].setValue(true);
    main.CmbWAVmode.setListIndex(2);
    main.CmdAddAudioJobList.press();
    const jobs::CommandListing listing = program.commandLines.List();
    ASSERT_EQ(listing.commands.size(), 3u);
    EXPECT_TRUE(listing.problems.empty());

    for (const jobs::ListedCommand& command : listing.commands) {
        setenv("CANTOVA_TEST_RECORD", (base_ / "shell calls").c_str(), 1);
        EXPECT_EQ(RunProgram({"bash", "-c", cmdline::ShellCommand(command.line)}), 0);
        const std::optional<std::string> json = cmdline::JsonArguments(command.line);
        ASSERT_TRUE(json) << command.line;
        EXPECT_EQ(RunProgram({"python3", "-c", kRecordJsonArguments, *json,
                              (base_ / "json calls").string()}),
                  0)
            << *json;
    }
    setenv("CANTOVA_TEST_RECORD", (base_ / "calls").c_str(), 1);
    Start();

    const std::vector<Arguments> run = RecordedCalls(base_ / "calls");
    ASSERT_EQ(run.size(), 3u);
    EXPECT_EQ(RecordedCalls(base_ / "shell calls"), run);
    EXPECT_EQ(RecordedCalls(base_ / "json calls"), run);
    EXPECT_FALSE(fs::exists("pwned") || fs::exists(base_ / "pwned") ||
                 fs::exists(folder_ / "pwned"));
}

} // namespace
