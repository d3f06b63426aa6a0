// What a job's row says about its target and its output's sound: read from the job's own command
// line and from the transcoder's report line, not from the window's lists.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "jobs/job_target.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace cantova;
using namespace cantova::test;
using ui::Codec;
namespace fs = std::filesystem;

TEST(JobTarget, ModeAndRateComeFromTheEncoderGroup) {
    const std::string core = "Cantova -core( -input \"a -b 9.ac3\" -output \"o.mp3\" ) ";
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( --scale 1 --alt-preset cbr 256 )"),
              "MP3 CBR 256 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( -m j -b 320 )"),
              "MP3 CBR 320 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( --abr 192 -b 96 )"),
              "MP3 ABR 192 kbit/s")
        << "a later -b is the lowest rate";
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( --alt-preset 160 )"),
              "MP3 ABR 160 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( --alt-preset fast extreme -b 128 )"),
              "MP3 VBR");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Mp3, core + "-lame( -v --vbr-new -V 2 )"), "MP3 VBR");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ogg, core + "-ogg( -b 112 -m 64 )"), "OGG 112 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ogg, core + "-ogg( -q 5 -6ch )"), "OGG q 5");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ac3, core + "-ac3enc( -b 448 )"), "AC3 448 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Wav, core), "WAV");
}

TEST(JobTarget, TheSoundReportLineIsReadWhole) {
    const auto report = jobs::ParseSoundReport(
        "sound: output: sample peak -0.5 dBFS, true peak -0.3 dBTP, loudness -16.2 LUFS, range "
        "7.5 LU, clipped 12; peaks measured on the decoded file, the rest at the encoder's input");
    ASSERT_TRUE(report);
    EXPECT_DOUBLE_EQ(report->samplePeak, -0.5);
    EXPECT_DOUBLE_EQ(report->truePeak, -0.3);
    EXPECT_DOUBLE_EQ(report->loudness, -16.2);
    EXPECT_DOUBLE_EQ(report->range, 7.5);
    EXPECT_EQ(report->clipped, 12);
    EXPECT_EQ(jobs::SoundReportText(*report), "-16.2 LUFS, true peak -0.3 dBTP");
    // A silent output measures minus infinity.
    EXPECT_TRUE(jobs::ParseSoundReport("sound: output: sample peak -inf dBFS, true peak -inf "
                                       "dBTP, loudness -inf LUFS, range 0 LU, clipped 0"));
    EXPECT_FALSE(jobs::ParseSoundReport("sound: output: sample peak -0.5 dBFS"));
    EXPECT_FALSE(jobs::ParseSoundReport("progress 45%"));
    EXPECT_FALSE(jobs::ParseSoundReport(
        "sound: output: sample peak x dBFS, true peak -0.3 dBTP, loudness -16.2 LUFS, range 7.5 "
        "LU, clipped 1"));
}

class TargetOfJobs : public ::testing::Test,
                     protected LauncherBase<FakeLauncher>,
                     public TestProgram {
protected:
    TargetOfJobs() : TestProgram(launcher) {}
    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        setenv("HOME", temp_.File("home").c_str(), 1);
        WriteText(temp_.File("a.mpa"), "stream");
    }
    TempFolder temp_;
};

TEST_F(TargetOfJobs, ATypedRateIsTheRateTheTableShows) {
    ASSERT_TRUE(program.sources.Select(temp_.File("a.mpa")));
    main.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
    main.CmbMP3Mode.setListIndex(0);
    windows.frmPanelAudio.txtBitRateMP3.setText("256");
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(program.queue.count(), 1);
    EXPECT_NE(program.queue.at(0).target.find("256 kbit/s"), std::string::npos)
        << program.queue.at(0).target;
    EXPECT_EQ(program.queue.at(0).channels, "") << "a source of unknown channels";
}

TEST_F(TargetOfJobs, TheSoundReportStaysWithItsJobUntilTheJobRunsAgain) {
    ASSERT_TRUE(program.sources.Select(temp_.File("a.mpa")));
    main.CmdAddAudioJobList.press();
    main.CmdAddAudioJobList.press();
    main.cmdStartEncode.press();
    const std::string report = "sound: output: sample peak -1.0 dBFS, true peak -0.8 dBTP, "
                               "loudness -18.0 LUFS, range 6.0 LU, clipped 0";
    launcher.writeLine(1, report);
    launcher.end(1);
    EXPECT_EQ(program.queue.at(0).status, jobs::JobStatus::Done);
    ASSERT_TRUE(program.queue.at(0).sound);
    EXPECT_DOUBLE_EQ(program.queue.at(0).sound->loudness, -18.0);
    EXPECT_FALSE(program.queue.at(1).sound);
    launcher.writeLine(2, report);
    program.runner.StopNow();
    launcher.end(2);
    ASSERT_EQ(program.queue.count(), 1);
    EXPECT_TRUE(program.queue.at(0).sound);
    program.runner.RetryFailed();
    EXPECT_FALSE(program.queue.at(0).sound) << "a new run measures again";
    launcher.endAll([] {});
}

TEST_F(TargetOfJobs, RestoreMySettingsPutsBackWhatTheWindowsHadAtStart) {
    ASSERT_TRUE(program.sources.Select(temp_.File("a.mpa")));
    windows.frmPanelAudio.txtBitRateMP3.setText("224");
    main.CmdAddAudioJobList.press();
    windows.frmPanelAudio.txtBitRateMP3.setText("96");
    EXPECT_FALSE(program.settingsBeforeRun.available());
    main.cmdStartEncode.press();
    EXPECT_FALSE(program.settingsBeforeRun.available()) << "not while the run goes on";
    launcher.endAll([] {});
    EXPECT_EQ(windows.frmPanelAudio.txtBitRateMP3.text(), "224") << "the last job's settings";
    ASSERT_TRUE(program.settingsBeforeRun.available());
    program.settingsBeforeRun.Restore();
    EXPECT_EQ(windows.frmPanelAudio.txtBitRateMP3.text(), "96");
    EXPECT_FALSE(program.settingsBeforeRun.available());
    const std::size_t shown = messages.shown.size();
    program.settingsBeforeRun.Restore();
    EXPECT_EQ(messages.shown.size(), shown + 1) << "nothing to put back is said";
    // A refused start takes nothing.
    windows.program.TranscoderPath = "";
    main.CmdAddAudioJobList.press();
    main.cmdStartEncode.press();
    EXPECT_FALSE(program.settingsBeforeRun.available());
}

} // namespace
