#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

using CodecChoice = WindowsTest;

TEST_F(CodecChoice, Ac3PreselectsTheSourceRateAndReenables) {
    main.BitRateAC3 = 384;
    main.OptAudioCodec[0].setValue(true);
    ASSERT_EQ(main.CmbBitrateAudio.listCount(), 8);
    EXPECT_EQ(main.CmbBitrateAudio.list(0), "128  Kbt/s");
    EXPECT_EQ(main.CmbBitrateAudio.list(1), "160  Kbt/s");
    EXPECT_EQ(main.CmbBitrateAudio.list(2), "192   Kbt/s");
    EXPECT_EQ(main.CmbBitrateAudio.itemData(0), 5);
    EXPECT_EQ(main.CmbBitrateAudio.itemData(7), 12);
    EXPECT_EQ(main.CmbBitrateAudio.text(), "384   Kbt/s");
    EXPECT_EQ(main.ChkAC3Reencode.value(), 1);
    EXPECT_FALSE(main.ChkAC3Reencode.enabled());
    EXPECT_TRUE(main.CmbBitrateAudio.enabled());
    EXPECT_FALSE(main.CmbMP3Mode.enabled());
    EXPECT_FALSE(main.CmbOGGMode.enabled());
    EXPECT_EQ(main.CmbGainMode.items(),
              (std::vector<ListItem>{{"None", 0}, {"Pre -Gain", 1}, {"Loudness", 4}}));
    EXPECT_EQ(panel.CmbBitrateAC3.listIndex(), 6);
}

TEST_F(CodecChoice, Ac3WithAnUnlistedSourceRateTakes320) {
    for (std::int16_t rate : {0, 128, 160}) {
        main.OptAudioCodec[1].setValue(true);
        main.BitRateAC3 = rate;
        main.OptAudioCodec[0].setValue(true);
        EXPECT_EQ(main.CmbBitrateAudio.listIndex(), 5) << rate;
    }
}

TEST_F(CodecChoice, OggResetsItsModeAndPreselects96) {
    main.CmbWAVmode.setListIndex(2);
    main.CmbGainMode.setListIndex(3);
    main.OptAudioCodec[2].setValue(true);
    EXPECT_EQ(main.CmbOGGMode.listIndex(), 1);
    EXPECT_TRUE(main.CmbOGGMode.enabled());
    EXPECT_FALSE(main.CmbMP3Mode.enabled());
    EXPECT_EQ(main.CmbBitrateAudio.text(), "96    Kbt/s");
    EXPECT_EQ(
        main.CmbGainMode.items(),
        (std::vector<ListItem>{
            {"None", 0}, {"Pre -Gain", 1}, {"Post -Gain", 2}, {"HybridGain", 3}, {"Loudness", 4}}));
    EXPECT_EQ(main.CmbGainMode.listIndex(), 0);
    EXPECT_EQ(main.CmbWAVmode.listIndex(), 0);
    EXPECT_EQ(panel.CmbQualityOGG.text(), "0.250");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 94 Kbps");
}

TEST_F(CodecChoice, Mp3AfterOggResetsToCbrAt128) {
    main.OptAudioCodec[2].setValue(true);
    main.CmbMP3Mode.setListIndex(2);
    main.OptAudioCodec[1].setValue(true);
    EXPECT_EQ(main.CmbMP3Mode.listIndex(), 0);
    EXPECT_EQ(main.CmbBitrateAudio.text(), "128   Kbt/s");
    EXPECT_EQ(panel.txtBitRateMP3.text(), "128");
    EXPECT_EQ(panel.ChkUseALtPreset.value(), 1);
}

TEST_F(CodecChoice, WavListsUncompressedAndFollowsTheAc3Choice) {
    main.CmbGainMode.setListIndex(3);
    main.OptAudioCodec[3].setValue(true);
    EXPECT_EQ(main.CmbBitrateAudio.items(), (std::vector<ListItem>{{"Uncompressed", 0}}));
    EXPECT_EQ(main.CmbBitrateAudio.listIndex(), 0);
    EXPECT_FALSE(main.CmbBitrateAudio.enabled());
    EXPECT_EQ(main.CmbGainMode.items(),
              (std::vector<ListItem>{{"None", 0}, {"Pre -Gain", 1}, {"Loudness", 4}}));
    EXPECT_EQ(main.CmbGainMode.listIndex(), 0);
    EXPECT_TRUE(main.CmdAdvancedAudio.enabled());
    // "Uncompressed" carries code 0: the 56 kbit/s defaults.
    EXPECT_EQ(panel.txtBitRateMP3.text(), "56");

    main.OptAudioCodec[1].setValue(true);
    main.OptAudioCodec[0].setEnabled(false);
    main.OptAudioCodec[3].setValue(true);
    EXPECT_FALSE(main.CmdAdvancedAudio.enabled());
}

TEST_F(CodecChoice, ModeChangeReappliesTheDefaults) {
    panel.txtBitRateMP3.setText("999");
    main.CmbMP3Mode.setListIndex(1);
    EXPECT_EQ(panel.txtBitRateMP3.text(), "128");
    EXPECT_TRUE(panel.ChkUseMinBitrateMP3.enabled());
    panel.TxtNominalBitrate.setText("1");
    main.CmbOGGMode.setListIndex(0);
    EXPECT_EQ(panel.TxtNominalBitrate.text(), "128");
    EXPECT_EQ(panel.ChkUseMinBitrateOGG.value(), 1);
}

// The loudness settings are open to typing only while the loudness mode is chosen, and a codec
// choice (which selects "None") closes them again.
TEST_F(CodecChoice, LoudnessSettingsFollowTheLoudnessMode) {
    EXPECT_FALSE(main.TxtLoudnessTarget.enabled());
    EXPECT_EQ(main.TxtLoudnessTarget.text(), "-23");
    EXPECT_EQ(main.TxtTruePeakCeiling.text(), "-1");
    EXPECT_EQ(main.TxtLoudnessTarget.listCount(), 4);
    main.OptAudioCodec[3].setValue(true);
    main.CmbGainMode.setListIndex(2);
    EXPECT_TRUE(main.TxtLoudnessTarget.enabled());
    EXPECT_TRUE(main.TxtTruePeakCeiling.enabled());
    main.CmbGainMode.setListIndex(1);
    EXPECT_FALSE(main.TxtTruePeakCeiling.enabled());
    main.CmbGainMode.setListIndex(2);
    main.OptAudioCodec[1].setValue(true);
    EXPECT_FALSE(main.TxtLoudnessTarget.enabled());
}

TEST_F(CodecChoice, BitRateReactionWaitsForBothModes) {
    main.CmbOGGMode.setListIndex(-1);
    panel.txtBitRateMP3.setText("999");
    PickRate(64);
    EXPECT_EQ(panel.txtBitRateMP3.text(), "999");
}

} // namespace
} // namespace cantova::ui::testing
