// The command line of a job built on demand, for showing it: the very command the run starts,
// taken from the job's own settings whatever the windows show meanwhile.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "jobs/job_command_line.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
namespace fs = std::filesystem;

class JobCommandLine : public ::testing::Test,
                       protected LauncherBase<FakeLauncher>,
                       public TestProgram {
protected:
    JobCommandLine() : TestProgram(launcher) { gProbe = &probe_; }
    ~JobCommandLine() override { gProbe = nullptr; }

    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        setenv("HOME", temp_.File("home").c_str(), 1);
        WriteText(temp_.File("film.mpa"), "stream");
        WriteText(temp_.File("film.ac3"), "stream");
    }
    void Choose(const std::string& name, ui::Codec codec) {
        ASSERT_TRUE(program.sources.Select(temp_.File(name)));
        main.OptAudioCodec[static_cast<int>(codec)].setValue(true);
    }
    std::optional<std::string> CommandOf(int index) const {
        return jobs::CommandLineOfJob(program.queue.at(index), windows.program.TranscoderPath);
    }

    ProbeScript probe_; // a 5.1 AC3 source at 448 kbit/s
    TempFolder temp_;
};

TEST_F(JobCommandLine, IsTheCommandTheRunStartsForEveryTarget) {
    Choose("film.mpa", ui::Codec::Mp3);
    main.CmbMP3Mode.setListIndex(2);
    main.CmbBitrateAudio.setListIndex(7);
    main.CmdAddAudioJobList.press();
    Choose("film.mpa", ui::Codec::Ogg);
    main.CmdAddAudioJobList.press();
    Choose("film.mpa", ui::Codec::Wav);
    main.CmbWAVmode.setListIndex(2);
    main.CmdAddAudioJobList.press();
    Choose("film.ac3", ui::Codec::Ac3); // re-encoded
    main.ChkUseBoost.setValue(1);
    main.CmdAddAudioJobList.press();
    Choose("film.ac3", ui::Codec::Wav);
    main.CmbWAVmode.setListIndex(1);
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(program.queue.count(), 5);

    // The windows now hold other settings than any job: a command built from them would differ.
    Choose("film.mpa", ui::Codec::Mp3);
    main.ChkUseBoost.setValue(0);
    main.TxtDelay.setText("120");
    std::vector<std::string> shown;
    for (int i = 0; i < program.queue.count(); ++i) {
        shown.push_back(CommandOf(i).value_or("none"));
    }
    EXPECT_EQ(main.TxtDelay.text(), "120") << "the windows are not touched";
    EXPECT_EQ(ui::ChosenCodec(main), ui::Codec::Mp3);
    EXPECT_NE(shown[2].find("Stream3.wav\" -6ch -logfilea"), std::string::npos) << shown[2];
    EXPECT_NE(shown[4].find("Stream5.wav\" -6chwav -logfilea"), std::string::npos) << shown[4];

    main.cmdStartEncode.press();
    launcher.endAll([] {});
    ASSERT_EQ(launcher.processes.size(), shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i], launcher.processes[i].command) << "job " << i + 1;
    }
}

TEST_F(JobCommandLine, IsNoneForAJobThatStartsNoTranscoderOrCannotBeRestored) {
    Choose("film.ac3", ui::Codec::Ac3);
    main.ChkAC3Reencode.setValue(0); // kept as it is
    main.CmdAddAudioJobList.press();
    Choose("film.mpa", ui::Codec::Mp3);
    main.CmdAddAudioJobList.press();
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(program.queue.count(), 3);
    ASSERT_TRUE(program.queue.at(0).copy);
    EXPECT_EQ(CommandOf(0), std::nullopt);

    fs::remove(program.queue.at(1).settingsFile);
    EXPECT_EQ(CommandOf(1), std::nullopt);
    WriteText(program.queue.at(2).settingsFile, "[SETTING]\nPANEL=11\n");
    EXPECT_EQ(CommandOf(2), std::nullopt) << "no job kind";
}

} // namespace
