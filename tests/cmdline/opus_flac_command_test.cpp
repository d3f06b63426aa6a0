// The command lines of Opus and FLAC jobs: the encoder group, its place among the groups, the
// output's extension, and the switches of the gain modes beside them.

#include "cmdline/job_command.h"
#include "cmdline/option_groups.h"
#include "cmdline/output_name.h"
#include "settings/paths.h"
#include "ui/gain_modes.h"
#include "ui/windows.h"

#include "silent_messages.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace cantova;
using test::SilentMessages;

class OpusFlacCommands : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = (temp_.Path() / "film.ac3").string();
        std::ofstream(source_) << "x";
        main.Form_Load();
        main.TxtStreamAudio.setText(source_);
        panel.ChkDialogNormalise.setValue(0);
    }
    // Everything after the core group of job 1's command.
    std::string Groups() const {
        const std::optional<std::string> command = cmdline::BuildCommandOfSettings(windows, 1);
        const std::string core = " -logfilea \"" + settings::TranscoderLogPath() + "\" )";
        return command ? command->substr(command->find(core) + core.size()) : "(none)";
    }
    void ChooseGain(int mode) {
        const auto codec = ui::ChosenCodec(main);
        main.CmbGainMode.setListIndex(ui::GainModePosition(*codec, mode).value_or(-1));
    }

    SilentMessages messages;
    ui::Windows windows{messages};
    ui::MainWindow& main = windows.frmMain;
    ui::AdvancedPanel& panel = windows.frmPanelAudio;
    TempFolder temp_;
    std::string source_;
};

TEST_F(OpusFlacCommands, StereoSourceToOpusAndFlac) {
    main.OptAudioCodec[0].setEnabled(false);
    main.OptAudioCodec[4].setValue(true);
    EXPECT_EQ(cmdline::BuildOutputName(windows, 1),
              "\"" + temp_.Path().string() + "/Stream1.opus\"");
    EXPECT_EQ(Groups(), " -opus( -b 128 )");
    // A rate choice resets the panel, as for every target: the mode comes after it.
    main.CmbBitrateAudio.setListIndex(9);
    panel.CmbOpusMode.setListIndex(1);
    EXPECT_EQ(Groups(), " -opus( -b 512 -cvbr )");
    panel.CmbOpusMode.setListIndex(2);
    EXPECT_EQ(cmdline::BuildOpusGroup(windows), " -opus( -b 512 -cbr )");

    main.OptAudioCodec[5].setValue(true);
    EXPECT_EQ(cmdline::BuildOutputName(windows, 1),
              "\"" + temp_.Path().string() + "/Stream1.flac\"");
    EXPECT_EQ(Groups(), " -flac( -c 5 )");
    panel.CmbFlacLevel.setListIndex(0);
    EXPECT_EQ(Groups(), " -flac( -c 0 )");
}

// A 5.1 AC3 source keeps its channels unless the Opus downmix or the decoder's output mode asks
// for two; the decoder's group comes before the boost and the encoder's group after it.
TEST_F(OpusFlacCommands, SurroundSourceKeptOrMixedDown) {
    windows.program.Ac3Channels = 5;
    main.OptAudioCodec[4].setValue(true);
    EXPECT_EQ(Groups(), " -opus( -b 256 )");
    panel.ChkOpusStereo.setValue(1);
    EXPECT_EQ(Groups(), " -opus( -b 256 -s )");
    panel.ChkUseOutPutModeAzid.setValue(1);
    panel.CmbStereoMode.setListIndex(2);
    main.ChkUseBoost.setValue(1);
    EXPECT_EQ(Groups(), " -azid( -s surround2 ) -boost( /b2=3 ) -opus( -b 256 -s )");

    main.OptAudioCodec[5].setValue(true);
    main.ChkUseBoost.setValue(1);
    panel.ChkUseLFEtoLR.setValue(1);
    EXPECT_EQ(Groups(), " -azid( -L -3db ) -boost( /b2=3 ) -flac( -c 5 )");
}

TEST_F(OpusFlacCommands, GainModesAndLoudness) {
    main.OptAudioCodec[0].setEnabled(false);
    main.OptAudioCodec[4].setValue(true);
    ChooseGain(ui::kGainPre);
    EXPECT_EQ(Groups(), " -ota( -g max ) -opus( -b 128 )");
    ChooseGain(ui::kGainPost);
    EXPECT_EQ(Groups(), " -ota( -G 1 ) -opus( -b 128 )");
    ChooseGain(ui::kGainHybrid);
    EXPECT_EQ(Groups(), " -ota( -hybridgain ) -opus( -b 128 )");
    ChooseGain(ui::kGainLoudness);
    main.TxtLoudnessTarget.setText("-16");
    EXPECT_EQ(Groups(), " -ota( -loudness -16 -truepeak -1 ) -opus( -b 128 )");

    // The processing groups apply to FLAC as to any target that is encoded.
    main.OptAudioCodec[5].setValue(true);
    ChooseGain(ui::kGainLoudness);
    main.TxtLoudnessTarget.setText("-23");
    main.TxtTruePeakCeiling.setText("-2");
    main.ChkDownSample.setValue(1);
    EXPECT_EQ(Groups(), " -ota( -loudness -23 -truepeak -2 ) -flac( -c 5 ) -ssrc( --rate 44100 )");
    EXPECT_EQ(ui::GainModePosition(ui::Codec::Flac, ui::kGainPost), std::nullopt);
}

} // namespace
