// What a job's row says about its target and its output's sound: read from the job's own command
// line and from the transcoder's report line, not from the window's lists.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "jobs/job_target.h"
#include "support/temp_folder.h"
#include "ui/core_only_settings.h"
#include "ui/gain_modes.h"

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
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ogg, core + "-ogg( -b 112 -m 64 )"),
              "Ogg ABR 112 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ogg, core + "-ogg( -q 5 -6ch )"), "Ogg VBR (q 5)");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Ac3, core + "-ac3enc( -b 448 )"), "AC3 448 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Wav, core), "WAV");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Opus, core + "-opus( -b 256 )"), "Opus VBR 256 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Opus, core + "-opus( -b 64 -cvbr -s )"),
              "Opus CVBR 64 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Opus, core + "-opus( -b 512 -cbr )"),
              "Opus CBR 512 kbit/s");
    EXPECT_EQ(jobs::TargetOfCommand(Codec::Flac, core + "-flac( -c 8 )"), "FLAC level 8");
    EXPECT_EQ(jobs::OggVbrTarget("Ogg VBR (q 0.525)", 160), "Ogg VBR ~160 kbit/s (q 0.525)");
    EXPECT_EQ(jobs::OggVbrTarget("Ogg VBR (q 0.525)", 0), "Ogg VBR (q 0.525)");
    EXPECT_EQ(jobs::OggVbrTarget("Ogg ABR 112 kbit/s", 112), "Ogg ABR 112 kbit/s");
}

TEST(JobTarget, GainModeAndDownmixAreReadFromTheirGroups) {
    const std::string core = "Cantova -core( -input \"a (1).ac3\" -output \"o -s.mp3\" ) ";
    EXPECT_EQ(jobs::GainOfCommand(core + "-ota( -d 20 -loudness -16 -truepeak -1 )"),
              "Loudness -16 LUFS / -1 dBTP");
    EXPECT_EQ(jobs::GainOfCommand(core + "-ota( -G 1 )"), "Post-Gain");
    EXPECT_EQ(jobs::GainOfCommand(core + "-ota( -g max )"), "Pre-Gain");
    EXPECT_EQ(jobs::GainOfCommand(core + "-ota( -hybridgain )"), "HybridGain");
    EXPECT_EQ(jobs::GainOfCommand(core + "-ota( -d 20 )"), "");
    EXPECT_EQ(jobs::GainOfCommand(core + "-lame( -b 128 )"), "");
    EXPECT_TRUE(jobs::DownmixesToStereo(core + "-azid( -n1 -s surround2 ) -ac3enc( -b 448 )"));
    EXPECT_FALSE(jobs::DownmixesToStereo(core + "-azid( -n1 -c light ) -ac3enc( -b 448 )"))
        << "an output named \"-s\" is no switch of the group";
    EXPECT_TRUE(jobs::DownmixesToStereo(core + "-opus( -b 128 -s )"));
    EXPECT_FALSE(jobs::DownmixesToStereo(core + "-opus( -b 128 ) -flac( -c 5 )"));
    EXPECT_EQ(jobs::ChannelLayoutName(5), "5.1");
    EXPECT_EQ(jobs::ChannelLayoutName(2), "2.0");
    EXPECT_EQ(jobs::ChannelLayoutName(3), "3 ch");
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

class TargetOfSurroundJobs : public TargetOfJobs {
protected:
    TargetOfSurroundJobs() { gProbe = &probe_; }
    ~TargetOfSurroundJobs() override { gProbe = nullptr; }
    void SetUp() override {
        TargetOfJobs::SetUp();
        WriteText(temp_.File("film.ac3"), "stream");
        ASSERT_TRUE(program.sources.Select(temp_.File("film.ac3")));
        ASSERT_EQ(windows.program.Ac3Channels, 5);
    }
    void chooseRate(int kbps) {
        const std::vector<ui::ListItem>& items = main.CmbBitrateAudio.items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].text.starts_with(std::to_string(kbps) + " ")) {
                main.CmbBitrateAudio.setListIndex(static_cast<int>(i));
                return;
            }
        }
        FAIL() << "no rate " << kbps;
    }
    const jobs::Job& add() {
        main.CmdAddAudioJobList.press();
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
        return program.queue.at(program.queue.count() - 1);
    }
    ProbeScript probe_; // a 3/2 stream at 448 kbit/s
};

TEST_F(TargetOfSurroundJobs, EveryTargetThatMixesDownSaysSo) {
    main.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
    EXPECT_EQ(add().channels, "5.1 \u2192 2.0");
    // The rate's defaults set an output mode of the decoder: an AC3 job mixes down as well.
    main.OptAudioCodec[static_cast<int>(Codec::Ac3)].setValue(true);
    main.ChkAC3Reencode.setValue(1);
    chooseRate(448);
    const jobs::Job& ac3 = add();
    EXPECT_EQ(ac3.target, "AC3 448 kbit/s");
    EXPECT_EQ(ac3.channels, "5.1 \u2192 2.0");
    windows.frmPanelAudio.ChkUseOutPutModeAzid.setValue(0);
    EXPECT_EQ(add().channels, "") << "five channels and the LFE stay";
}

TEST_F(TargetOfSurroundJobs, AnOggQualityShowsTheRateChosenOrElseTheEstimate) {
    main.OptAudioCodec[static_cast<int>(Codec::Ogg)].setValue(true);
    main.CmbOGGMode.setListIndex(1);
    chooseRate(160);
    EXPECT_EQ(add().target, "Ogg VBR ~160 kbit/s (q 0.525)");
    windows.frmPanelAudio.CmbQualityOGG.setListIndex(10);
    EXPECT_EQ(add().target, "Ogg VBR ~316 kbit/s (q 0.900)") << "the panel's estimate";
    main.CmbOGGMode.setListIndex(0);
    chooseRate(128);
    EXPECT_EQ(add().target, "Ogg ABR 128 kbit/s");
}

TEST_F(TargetOfSurroundJobs, TheGainModeIsShownAsTheCommandHasIt) {
    main.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
    EXPECT_EQ(add().gain, "");
    main.CmbGainMode.setListIndex(*ui::GainModePosition(Codec::Mp3, ui::kGainLoudness));
    main.TxtLoudnessTarget.setText("-16");
    EXPECT_EQ(add().gain, "Loudness -16 LUFS / -1 dBTP");
    main.CmbGainMode.setListIndex(*ui::GainModePosition(Codec::Mp3, ui::kGainPost));
    EXPECT_EQ(add().gain, "Post-Gain");
}

// A WAV job from a source that is not AC3 carries the core group alone.
TEST_F(TargetOfJobs, AWavJobFromAnotherSourceNamesTheSettingsItLeavesOut) {
    ASSERT_TRUE(program.sources.Select(temp_.File("a.mpa")));
    main.OptAudioCodec[static_cast<int>(Codec::Wav)].setValue(true);
    ASSERT_TRUE(ui::OnlyCoreSettingsApply(main));
    main.CmbGainMode.setListIndex(*ui::GainModePosition(Codec::Wav, ui::kGainLoudness));
    main.TxtDelay.setText("-24");
    main.ChkSplitStartPoint.setValue(1);
    main.ChkUseBoost.setValue(0);
    main.ChkDownSample.setValue(0);
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(program.queue.count(), 1);
    const jobs::Job& job = program.queue.at(0);
    EXPECT_EQ(job.gain, "") << "no -ota group";
    EXPECT_EQ(job.notApplied, "Delay, Gain Mode, Split");
    main.OptAudioCodec[static_cast<int>(Codec::Mp3)].setValue(true);
    EXPECT_FALSE(ui::OnlyCoreSettingsApply(main));
    main.CmdAddAudioJobList.press();
    EXPECT_EQ(program.queue.at(1).notApplied, "");
}

TEST_F(TargetOfJobs, TheSoundReportStaysWithItsJobUntilTheJobRunsAgain) {
    ASSERT_TRUE(program.sources.Select(temp_.File("a.mpa")));
    main.CmdAddAudioJobList.press();
    main.CmdAddAudioJobList.press();
    main.cmdStartEncode.press();
    const std::string report = "sound: output: sample peak -1.0 dBFS, true peak -0.8 dBTP, "
                               "loudness -18.0 LUFS, range 6.0 LU, clipped 0";
    launcher.writeLine(1, report);
    launcher.writeLine(1, "sound: curves: /home/a/Audio_Stream.Stream1.mp3.loudness");
    launcher.end(1);
    EXPECT_EQ(program.queue.at(0).curvesFile, "/home/a/Audio_Stream.Stream1.mp3.loudness");
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
