// A source on read-only media (a mounted DVD): its folder takes no output, settings file or job
// file, so a job needs an output folder, and with one it converts. The folder is made read-only
// by a read-only bind mount in a mount namespace of the test's own where the test runs as root
// (root writes into any folder whose mode forbids it), else by its mode.

#include "app/program.h"
#include "jobs/spawn_launcher.h"
#include "settings/file_dialogs.h"
#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;

bool MakeReadOnly(const std::string& folder) {
    if (geteuid() != 0) {
        return chmod(folder.c_str(), 0555) == 0;
    }
    return unshare(CLONE_NEWNS) == 0 &&
           mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

bool Writable(const std::string& folder) {
    const std::string probe = folder + "/probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

TEST(ReadOnlySource, NeedsAnOutputFolderAndConvertsWithOne) {
    if (!programsAvailable({"ffmpeg", "ffprobe", "lame"})) {
        GTEST_SKIP() << "ffmpeg, ffprobe or lame is missing";
    }
    TempFolder temp;
    const std::string dvd = temp.File("dvd");
    const std::string out = temp.File("out");
    const std::string home = temp.File("home");
    for (const std::string& folder : {dvd, out, home}) {
        fs::create_directories(folder);
    }
    const std::string source = dvd + "/VTS_01 T80.ac3";
    runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:d=2:r=48000", "-ac", "2", "-c:a", "ac3", source});
    if (!MakeReadOnly(dvd) || Writable(dvd)) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    const Environment environment{{"HOME", home}, {"XDG_STATE_HOME", home + "/state"}};
    const std::vector<std::string> choose = {CANTOVA_BATCH, "select", source, "set",
                                             "OptAudioCodec(1).Value=1"};

    std::vector<std::string> refused = choose;
    refused.insert(refused.end(),
                   {"click", "CmdAddAudioJobList", "print", "LstJobAudio(0).ListCount"});
    const ProgramRun without = runProgram(refused, environment);
    EXPECT_NE(without.output.find("cannot be written (read-only media?): choose an output folder "
                                  "(the setting \"Output Folder\", TxtOutputFolder)"),
              std::string::npos)
        << without.output;
    EXPECT_NE(without.output.find("LstJobAudio(0).ListCount=0\n"), std::string::npos);

    std::vector<std::string> converted = choose;
    converted.insert(converted.end(), {"set", "TxtOutputFolder.Text=" + out, "click",
                                       "CmdAddAudioJobList", "click", "cmdStartEncode"});
    const ProgramRun with = runProgram(converted, environment);
    ASSERT_EQ(with.exitCode, 0) << with.output;
    EXPECT_EQ(filesIn(out), std::vector<std::string>{"Stream1.mp3"})
        << "the settings and job files went there too, and are gone after the run";
    EXPECT_EQ(probeAudio(out + "/Stream1.mp3").codec, "mp3");
    EXPECT_EQ(filesIn(dvd), std::vector<std::string>{"VTS_01 T80.ac3"});
}

TEST(ReadOnlySource, TheWindowAsksForAnOutputFolderAndAddsTheJobThere) {
    TempFolder temp;
    const std::string dvd = temp.File("dvd");
    const std::string out = temp.File("out");
    fs::create_directories(dvd);
    fs::create_directories(out);
    const std::string source = dvd + "/track.mpa";
    WriteText(source, "stream");
    if (!MakeReadOnly(dvd) || Writable(dvd)) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    settings::ScriptedFileDialogs dialogs;
    ui::SilentMessageBoxes messages;
    std::ostringstream printed;
    jobs::DryRunLauncher launcher(printed);
    app::Program program({dialogs, messages, launcher});
    std::string askedFor;
    std::function<void(std::string)> answer;
    program.jobList.setOutputFolderQuestion(
        [&](const std::string& asked, std::function<void(std::string)> chosen) {
            askedFor = asked;
            answer = std::move(chosen);
        });
    ASSERT_TRUE(program.sources.Select(source));
    program.windows.frmMain.CmdAddAudioJobList_Click();
    EXPECT_EQ(askedFor, source);
    EXPECT_EQ(program.queue.count(), 0) << "nothing waits for the answer";
    askedFor.clear();
    program.windows.frmMain.CmdAddAudioJobList_Click();
    EXPECT_EQ(askedFor, "") << "one question at a time";

    answer(out + "/");
    ASSERT_EQ(program.queue.count(), 1);
    const jobs::Job& job = program.queue.at(0);
    EXPECT_EQ(job.outputArgument, "\"" + out + "/Stream1.mp3\"");
    EXPECT_EQ(job.settingsFile, out + "/track.stream1.aud");
    EXPECT_NE(ReadText(job.settingsFile).find("[OUTPUT]\nFOLDER=" + out + "/\n"), std::string::npos)
        << ReadText(job.settingsFile);

    // A cancelled question adds nothing and may be asked again.
    program.windows.frmMain.TxtOutputFolder.setText("");
    program.windows.frmMain.CmdAddAudioJobList_Click();
    ASSERT_EQ(askedFor, source);
    answer("");
    EXPECT_EQ(program.queue.count(), 1);
}

} // namespace
} // namespace cantova::testing
