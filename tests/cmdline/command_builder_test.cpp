#include "cmdline/command_line.h"
#include "cmdline/job_command.h"
#include "cmdline/number_forms.h"
#include "cmdline/option_groups.h"
#include "cmdline/output_name.h"
#include "cmdline/typed_values.h"
#include "settings/paths.h"
#include "ui/windows.h"

#include "silent_messages.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>

namespace {

using namespace cantova;
using test::SilentMessages;

class CommandBuilder : public ::testing::Test {
protected:
    SilentMessages messages;
    ui::Windows windows{messages};
    ui::MainWindow& main = windows.frmMain;
    ui::AdvancedPanel& panel = windows.frmPanelAudio;
};

TEST_F(CommandBuilder, LameGroup) {
    main.CmbMP3Mode.setListIndex(0);
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( -b 128 )");
    panel.txtBitRateMP3.setText("");
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( -b  )");

    main.CmbMP3Mode.setListIndex(1);
    panel.ChkUseALtPreset.setValue(1);
    panel.txtBitRateMP3.setText("160");
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( --alt-preset 160 )");
    panel.ChkUseALtPreset.setValue(2);
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( --alt-preset 160 )");

    main.CmbMP3Mode.setListIndex(2);
    // The list never stays on a heading line, so give the selected item a heading's item data.
    panel.CmbAltPreset.setListIndex(1);
    panel.CmbAltPreset.setItemData(1, 3);
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( )");
    panel.ChkUseALtPreset.setValue(0);
    panel.CmbRoutineVBR.setListIndex(1);
    panel.ChkUseQualityVBR.setValue(1);
    panel.CmbQualityVBRMP3.setListIndex(1);
    panel.ChkUseMaxBitrateMP3.setValue(1);
    panel.TxtMaxBitrateMP3.setText("256");
    EXPECT_EQ(cmdline::BuildLameGroup(windows), " -lame( -v --vbr-new -V 2 -B 256 )");
}

TEST_F(CommandBuilder, LameSwitchesFollowTheirOrder) {
    main.CmbMP3Mode.setListIndex(0);
    panel.ChkModeMP3.setValue(1);
    panel.CmbModeAudio.setListIndex(2);
    panel.ChkUseScaleInput.setValue(1);
    panel.TxtScaleInput.setText("2");
    panel.ChkUseQualityVBR.setValue(1);
    panel.CmbQualityVBRMP3.setListIndex(4);
    panel.ChkUseMinBitrateMP3.setValue(1);
    panel.ChkUseMaxBitrateMP3.setValue(1);
    panel.ChkErrorProtection.setValue(1);
    panel.ChkLowPassMP3.setValue(1);
    panel.CmbLowPassMP3.setListIndex(8);
    panel.ChkUseATHType.setValue(1);
    panel.ChkUseNspsytune.setValue(1);
    panel.ChkPSYBass.setValue(1);
    EXPECT_EQ(cmdline::BuildLameGroup(windows),
              " -lame( -m f --scale 2 -b 128 -V 8 -b 32 -B 320 -p --lowpass 22 --athtype 2"
              " --nspsytune --ns-bass -6 )");
}

TEST_F(CommandBuilder, AzidGroup) {
    EXPECT_EQ(cmdline::BuildAzidGroup(windows), "");
    panel.ChkDialogNormalise.setValue(1);
    panel.ChkUseOutPutModeAzid.setValue(1);
    panel.CmbStereoMode.setListIndex(2);
    panel.ChkUseDynamicCompressionAzid.setValue(1);
    panel.CmbDynaComp.setListIndex(2);
    panel.ChkUseGain.setValue(1);
    panel.TxtGainAzid.setText("2");
    panel.CmbGainModeAzid.setListIndex(0);
    panel.ChkUseLFEtoLR.setValue(1);
    EXPECT_EQ(cmdline::BuildAzidGroup(windows),
              " -azid( -n1 -s surround2 -c heavy -g 2db -L -3db )");
    panel.CmbGainModeAzid.setListIndex(1);
    panel.TxtGainAzid.setText("");
    panel.ChkNormalise.setValue(1);
    EXPECT_EQ(cmdline::BuildAzidGroup(windows),
              " -azid( -n1 -s surround2 -c heavy -L -3db --maximize )");
}

TEST_F(CommandBuilder, VorbisAndAc3EncoderGroups) {
    main.CmbOGGMode.setListIndex(0);
    panel.TxtNominalBitrate.setText("160");
    panel.ChkUseMinBitrateOGG.setValue(1);
    panel.TxtMinBitrateOGG.setText("96");
    panel.ChkUseMaxBitrateOGG.setValue(1);
    panel.TxtMaxBitrateOGG.setText("256");
    panel.ChkUse51ModeOGG.setValue(1);
    EXPECT_EQ(cmdline::BuildOggGroup(windows), " -ogg( -b 160 -m 96 -M 256 -6ch )");
    main.CmbOGGMode.setListIndex(1);
    panel.ChkUse51ModeOGG.setValue(0);
    panel.CmbQualityOGG.setText("0.42");
    EXPECT_EQ(cmdline::BuildOggGroup(windows), " -ogg( -q 0.42 )");
    panel.CmbBitrateAC3.setListIndex(7);
    EXPECT_EQ(cmdline::BuildAc3EncGroup(windows), " -ac3enc( -b 448 )");
}

TEST_F(CommandBuilder, GroupTextsGoInAsTyped) {
    panel.ChkUseGain.setValue(1);
    panel.CmbGainModeAzid.setListIndex(0);
    panel.TxtGainAzid.setText("3");
    EXPECT_EQ(cmdline::BuildAzidGroup(windows), " -azid( -g 3db )");
    panel.CmbGainModeAzid.setListIndex(1);
    panel.TxtGainAzid.setText("150");
    EXPECT_EQ(cmdline::BuildAzidGroup(windows), " -azid( -g 150% )");
    panel.CmbGainModeAzid.setListIndex(0);
    panel.TxtGainAzid.setText("");
    EXPECT_EQ(cmdline::BuildAzidGroup(windows), " -azid( -g db )");

    main.CmbOGGMode.setListIndex(0);
    panel.TxtNominalBitrate.setText("128");
    EXPECT_EQ(cmdline::BuildOggGroup(windows), " -ogg( -b 128 )");
    main.CmbOGGMode.setListIndex(1);
    panel.ChkUseMinBitrateOGG.setValue(1);
    panel.ChkUseMaxBitrateOGG.setValue(1);
    panel.CmbQualityOGG.setListIndex(4);
    EXPECT_EQ(cmdline::BuildOggGroup(windows), " -ogg( -q 0.350 )");

    main.Form_Load();
    main.TxtDelay.setText("+60");
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -d +60 )");
    main.ChkAutoDelay.setValue(1);
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -d auto )");
    main.ChkUseBoost.setValue(1);
    main.CmbCompModeBoost.setItemData(main.CmbCompModeBoost.listIndex(), 7);
    EXPECT_EQ(cmdline::BuildBoostGroup(windows), " -boost( )");
}

TEST_F(CommandBuilder, ProcessingGroups) {
    main.Form_Load();
    main.ChkUseBoost.setValue(0);
    main.CmbGainMode.setListIndex(0);
    main.TxtDelay.setText("0");
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), "");
    main.TxtDelay.setText("");
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), "");
    main.TxtDelay.setText("-80");
    main.CmbGainMode.setListIndex(3);
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -d -80 -hybridgain )");
    main.ChkAutoDelay.setValue(1);
    main.CmbGainMode.setListIndex(2);
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -d auto -G 1 )");

    EXPECT_EQ(cmdline::BuildBoostGroup(windows), "");
    main.ChkUseBoost.setValue(1);
    EXPECT_EQ(cmdline::BuildBoostGroup(windows), " -boost( /b2=3 )");
    main.CmbCompModeBoost.setListIndex(0);
    main.TxtBoostFactor.setText("");
    main.TxtLimitFactor.setText("");
    EXPECT_EQ(cmdline::BuildBoostGroup(windows), " -boost( /b= /l= )");

    main.ChkDownSample.setValue(1);
    main.CmbSampleRate.setListIndex(1);
    EXPECT_EQ(cmdline::BuildSsrcGroup(windows), " -ssrc( --rate 32000 )");

    main.ChkSplitEndPoint.setValue(1);
    EXPECT_EQ(cmdline::BuildSplitGroup(windows), " -split( -end 2 )");
    main.ChkSplitStartPoint.setValue(1);
    EXPECT_EQ(cmdline::BuildSplitGroup(windows), " -split( -start 0 -end 0 )");
}

TEST_F(CommandBuilder, TheLoudnessModeGivesItsTargetAndCeiling) {
    main.Form_Load();
    main.CmbGainMode.setListIndex(4);
    EXPECT_EQ(main.CmbGainMode.text(), "Loudness");
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -loudness -23 -truepeak -1 )");
    main.TxtDelay.setText("-80");
    main.TxtLoudnessTarget.setListIndex(2);
    main.TxtTruePeakCeiling.setText("-1.5");
    EXPECT_EQ(cmdline::BuildOtaGroup(windows), " -ota( -d -80 -loudness -16 -truepeak -1.5 )");

    main.TxtLoudnessTarget.setText("-41");
    main.TxtTruePeakCeiling.setText("0,5");
    cmdline::TypedValueCheck check;
    cmdline::BuildOtaGroup(windows, &check);
    ASSERT_EQ(check.refusedFields().size(), 2U);
    EXPECT_EQ(check.refusedFields()[0].problem, "is not a number from -40 to -5");
    EXPECT_EQ(check.refusedFields()[1].control, "TxtTruePeakCeiling");

    // The other modes do not use the loudness settings, whatever they hold.
    main.CmbGainMode.setListIndex(1);
    cmdline::TypedValueCheck unused;
    EXPECT_EQ(cmdline::BuildOtaGroup(windows, &unused), " -ota( -d -80 -g max )");
    EXPECT_TRUE(unused.refusedFields().empty());
}

TEST(SplitPoints, ReadLenientlyAndWrittenShort) {
    EXPECT_EQ(cmdline::ReadSplitPoint(" 12.50 s"), 12.5);
    EXPECT_EQ(cmdline::ReadSplitPoint("1 0"), 10);
    EXPECT_EQ(cmdline::ReadSplitPoint("-2.5e1x"), -25);
    EXPECT_EQ(cmdline::ReadSplitPoint(""), 0);
    EXPECT_EQ(cmdline::ReadSplitPoint("abc"), 0);
    EXPECT_EQ(cmdline::WriteSplitPoint(10), "10");
    EXPECT_EQ(cmdline::WriteSplitPoint(12.5), "12.5");
    EXPECT_EQ(cmdline::WriteSplitPoint(0.1 + 0.2), "0.3");
}

TEST_F(CommandBuilder, SplitFractionsUseTheLocalesDecimalSeparator) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    main.Form_Load();
    main.ChkSplitStartPoint.setValue(1);
    main.TxtStartPoint.setText("12.5");
    const std::string group = cmdline::BuildSplitGroup(windows);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(group, " -split( -start 12,5 )");
}

class JobCommands : public CommandBuilder {
protected:
    void SetUp() override {
        folder_ = temp_.Path() / "cmd $test";
        std::filesystem::create_directories(folder_);
        source_ = (folder_ / "track.ac3").string();
        std::ofstream(source_) << "x";
        main.Form_Load();
        main.TxtStreamAudio.setText(source_);
    }
    TempFolder temp_;
    std::filesystem::path folder_;
    std::string source_;
};

TEST_F(JobCommands, OutputNamesLieInTheSourceFolder) {
    EXPECT_EQ(cmdline::BuildOutputName(windows, 7), "\"" + folder_.string() + "/Stream7.mp3\"");
    main.TxtStreamAudio.setText(source_ + ".missing");
    EXPECT_EQ(cmdline::BuildOutputName(windows, 1), "");
    main.TxtStreamAudio.setText("track.ac3");
    EXPECT_EQ(cmdline::BuildOutputName(windows, 1), "");
}

TEST_F(JobCommands, KindsChooseTheGroupsAndTheirOrder) {
    main.ChkUseBoost.setValue(1);
    main.OptAudioCodec[2].setValue(true);
    main.ChkUseBoost.setValue(1);
    EXPECT_EQ(ui::JobKindOf(main), ui::JobKind::OggFromAc3);
    const std::string kind2 =
        cmdline::BuildJobCommand(windows, ui::JobKind::OggFromAc3, source_, "\"o\"");
    const std::string kind4 = cmdline::BuildJobCommand(windows, ui::JobKind::Ogg, source_, "\"o\"");
    EXPECT_LT(kind2.find(" -boost("), kind2.find(" -ogg("));
    EXPECT_GT(kind4.find(" -boost("), kind4.find(" -ogg("));
    main.OptAudioCodec[0].setEnabled(false);
    EXPECT_EQ(ui::JobKindOf(main), ui::JobKind::Ogg);

    main.OptAudioCodec[3].setValue(true);
    EXPECT_EQ(ui::JobKindOf(main), ui::JobKind::Wav);
    main.ChkUseBoost.setValue(1);
    main.ChkDownSample.setValue(1);
    main.ChkSplitStartPoint.setValue(1);
    main.TxtDelay.setText("40");
    EXPECT_EQ(cmdline::BuildJobCommand(windows, ui::JobKind::Wav, source_, "\"o\" -6ch"),
              windows.program.TranscoderPath + " -core( -input \"" + source_ +
                  "\" -output \"o\" -6ch -logfilea \"" + settings::TranscoderLogPath() + "\" )");
}

// The gain item with item data 2 is not offered for WAV targets; the builder still reads item
// data, so an item carrying 2 gives the capital-G switch in a whole WAV command.
TEST_F(JobCommands, AWavCommandReadsTheGainItemData) {
    main.OptAudioCodec[3].setValue(true);
    main.ChkAutoDelay.setValue(1);
    main.CmbGainMode.setItemData(1, 2);
    main.CmbGainMode.setListIndex(1);
    panel.ChkUseOutPutModeAzid.setValue(0);
    panel.ChkUseDynamicCompressionAzid.setValue(0);
    panel.ChkUseLFEtoLR.setValue(0);
    panel.ChkDialogNormalise.setValue(0);
    main.ChkUseBoost.setValue(1);
    main.CmbCompModeBoost.setListIndex(0);
    main.TxtBoostFactor.setText("2");
    main.TxtLimitFactor.setText("0.95");
    main.ChkDownSample.setValue(1);
    main.CmbSampleRate.setListIndex(0);
    main.ChkSplitStartPoint.setValue(1);
    main.TxtStartPoint.setText("10");
    ASSERT_EQ(ui::JobKindOf(main), ui::JobKind::WavFromAc3);
    const std::string output = cmdline::BuildOutputName(windows, 2) + " -6ch";
    EXPECT_EQ(cmdline::BuildJobCommand(windows, ui::JobKind::WavFromAc3, source_, output),
              windows.program.TranscoderPath + " -core( -input \"" + source_ + "\" -output \"" +
                  folder_.string() + "/Stream2.wav\" -6ch -logfilea \"" +
                  settings::TranscoderLogPath() +
                  "\" ) -ota( -d auto -G 1 ) -boost( /b=2 /l=0.95 ) -ssrc( --rate 44100 )"
                  " -split( -start 10 )");
}

TEST_F(JobCommands, TheCommandSplitsBackIntoTheIntendedArguments) {
    const std::string output = cmdline::BuildOutputName(windows, 1);
    const std::vector<std::string> argv = cmdline::SplitCommandLine(
        cmdline::BuildJobCommand(windows, ui::JobKindOf(main), source_, output));
    ASSERT_GE(argv.size(), 9u);
    EXPECT_EQ(argv[1], "-core(");
    EXPECT_EQ(argv[2], "-input");
    EXPECT_EQ(argv[3], source_);
    EXPECT_EQ(argv[4], "-output");
    EXPECT_EQ(argv[5], folder_.string() + "/Stream1.mp3");
    EXPECT_EQ(argv[6], "-logfilea");
    EXPECT_EQ(argv[7], settings::TranscoderLogPath());
    EXPECT_EQ(argv[8], ")");
}

} // namespace
