#include "tests/ui/windows_fixture.h"

#include <string>

namespace cantova::ui::testing {
namespace {

using BitrateDefaults = WindowsTest;

constexpr int kRates[] = {56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

TEST_F(BitrateDefaults, CbrAndAbrHandTheTuningToTheAltPreset) {
    for (int mode : {0, 1}) {
        main.CmbMP3Mode.setListIndex(mode);
        for (int kbps : kRates) {
            PickRate(kbps);
            const std::string at = std::to_string(mode) + "/" + std::to_string(kbps);
            EXPECT_EQ(panel.ChkUseALtPreset.value(), 1) << at;
            EXPECT_EQ(panel.txtBitRateMP3.text(), std::to_string(kbps)) << at;
            EXPECT_EQ(panel.ChkUseScaleInput.value(), 1) << at;
            EXPECT_EQ(panel.ChkErrorProtection.value(), 0) << at;
            EXPECT_EQ(panel.ChkUseMinBitrateMP3.value(), 0) << at;
            EXPECT_EQ(panel.ChkUseMinBitrateMP3.enabled(), mode == 1) << at;
            EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8) << at;
            EXPECT_FALSE(panel.CmbAltPreset.enabled()) << at;
        }
    }
}

TEST_F(BitrateDefaults, VbrUpTo128SetsTheIndividualSwitches) {
    struct Row {
        int kbps;
        const char* min;
        const char* max;
    };
    main.CmbMP3Mode.setListIndex(2);
    for (Row row : {Row{56, "32", "64"}, Row{64, "32", "80"}, Row{80, "32", "96"},
                    Row{96, "32", "112"}, Row{112, "64", "128"}, Row{128, "64", "160"}}) {
        PickRate(row.kbps);
        const std::string at = std::to_string(row.kbps);
        EXPECT_EQ(panel.ChkUseALtPreset.value(), 0) << at;
        EXPECT_EQ(panel.txtBitRateMP3.text(), at) << at;
        EXPECT_FALSE(panel.txtBitRateMP3.enabled()) << at;
        EXPECT_EQ(panel.ChkUseMinBitrateMP3.value(), 1) << at;
        EXPECT_EQ(panel.TxtMinBitrateMP3.text(), row.min) << at;
        EXPECT_EQ(panel.ChkUseMaxBitrateMP3.value(), 1) << at;
        EXPECT_EQ(panel.TxtMaxBitrateMP3.text(), row.max) << at;
        EXPECT_TRUE(panel.TxtMaxBitrateMP3.enabled()) << at;
        EXPECT_EQ(panel.CmbRoutineVBR.listIndex(), 2) << at;
        EXPECT_EQ(panel.ChkUseQualityVBR.value(), 1) << at;
        EXPECT_EQ(panel.CmbQualityVBRMP3.listIndex(), 1) << at;
        EXPECT_EQ(panel.ChkModeMP3.value(), 1) << at;
        EXPECT_EQ(panel.CmbModeAudio.listIndex(), 1) << at;
        EXPECT_EQ(panel.ChkLowPassMP3.value(), 1) << at;
        EXPECT_EQ(panel.CmbLowPassMP3.listIndex(), 5) << at;
        EXPECT_EQ(panel.ChkUseScaleInput.value(), 1) << at;
        EXPECT_EQ(panel.ChkUseATHType.value(), 1) << at;
        EXPECT_EQ(panel.ChkUseNspsytune.value(), 1) << at;
        EXPECT_EQ(panel.ChkPSYBass.value(), 1) << at;
        EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8) << at;
        EXPECT_FALSE(panel.CmbAltPreset.enabled()) << at;
    }
}

// The maximum that the table gives is taken back by the alt-preset reaction run at the end.
TEST_F(BitrateDefaults, VbrFrom160SelectsAPresetAndEndsWithTheMaximumUnticked) {
    main.CmbMP3Mode.setListIndex(2);
    for (auto [kbps, preset] : {std::pair{160, 8}, {192, 4}, {224, 1}, {256, 1}, {320, 1}}) {
        PickRate(kbps);
        const std::string at = std::to_string(kbps);
        EXPECT_EQ(panel.ChkUseALtPreset.value(), 1) << at;
        EXPECT_EQ(panel.CmbAltPreset.listIndex(), preset) << at;
        EXPECT_TRUE(panel.CmbAltPreset.enabled()) << at;
        EXPECT_EQ(panel.SavePreviousAltPresetListIndex, preset) << at;
        EXPECT_EQ(panel.ChkUseMaxBitrateMP3.value(), 0) << at;
        EXPECT_EQ(panel.TxtMaxBitrateMP3.text(), "320") << at;
        EXPECT_FALSE(panel.TxtMaxBitrateMP3.enabled()) << at;
        EXPECT_TRUE(panel.ChkUseMaxBitrateMP3.enabled()) << at;
        EXPECT_FALSE(panel.ChkModeMP3.enabled()) << at;
    }
}

TEST_F(BitrateDefaults, OggAbrRows) {
    struct Row {
        int kbps;
        const char* min;
        const char* max;
    };
    main.OptAudioCodec[2].setValue(true);
    main.CmbOGGMode.setListIndex(0);
    for (Row row : {Row{56, "32", "60"}, Row{64, "32", "80"}, Row{80, "32", "96"},
                    Row{96, "32", "112"}, Row{112, "64", "128"}, Row{128, "64", "160"},
                    Row{160, "96", "176"}, Row{192, "112", "208"}, Row{224, "128", "240"},
                    Row{256, "192", "272"}, Row{320, "224", "336"}}) {
        PickRate(row.kbps);
        const std::string at = std::to_string(row.kbps);
        EXPECT_EQ(panel.TxtNominalBitrate.text(), at) << at;
        EXPECT_TRUE(panel.TxtNominalBitrate.enabled()) << at;
        EXPECT_EQ(panel.ChkUseMinBitrateOGG.value(), 1) << at;
        EXPECT_EQ(panel.TxtMinBitrateOGG.text(), row.min) << at;
        EXPECT_EQ(panel.ChkUseMaxBitrateOGG.value(), 1) << at;
        EXPECT_EQ(panel.TxtMaxBitrateOGG.text(), row.max) << at;
        EXPECT_FALSE(panel.CmbQualityOGG.enabled()) << at;
        EXPECT_EQ(panel.CmbQualityOGG.listIndex(), 5) << at;
    }
}

TEST_F(BitrateDefaults, OggVbrRowsPickTheQuality) {
    main.OptAudioCodec[2].setValue(true);
    int quality = 0;
    for (int kbps : kRates) {
        PickRate(kbps);
        EXPECT_EQ(panel.CmbQualityOGG.listIndex(), quality) << kbps;
        EXPECT_EQ(panel.CmbQualityOGG.text(), panel.CmbQualityOGG.list(quality)) << kbps;
        EXPECT_EQ(panel.ChkUseMinBitrateOGG.value(), 0) << kbps;
        EXPECT_FALSE(panel.TxtMinBitrateOGG.enabled()) << kbps;
        ++quality;
    }
}

TEST_F(BitrateDefaults, Ac3EncoderFrom128AndDecoderForEveryRate) {
    int ac3Index = 0;
    for (int kbps : kRates) {
        panel.ChkUse51ModeAC3.setValue(0);
        PickRate(kbps);
        EXPECT_EQ(panel.ChkUse51ModeAC3.value(), kbps >= 128 ? 1 : 0) << kbps;
        EXPECT_EQ(panel.CmbBitrateAC3.listIndex(), kbps >= 128 ? ac3Index++ : 3) << kbps;
        EXPECT_EQ(panel.ChkUseLFEtoLR.value(), 1) << kbps;
        EXPECT_EQ(panel.ChkUseDynamicCompressionAzid.value(), 1) << kbps;
        EXPECT_EQ(panel.CmbDynaComp.listIndex(), 0) << kbps;
        EXPECT_EQ(panel.ChkDialogNormalise.value(), 1) << kbps;
    }
}

TEST_F(BitrateDefaults, Ac3RatesOnlyTouchDecoderAndAc3Encoder) {
    main.CmbMP3Mode.setListIndex(2);
    PickRate(96);
    panel.InitAllCombo();
    panel.txtBitRateMP3.setText("77");
    main.ApplyBitrateDefaults(448);
    EXPECT_EQ(panel.txtBitRateMP3.text(), "77");
    EXPECT_EQ(panel.ChkUseMinBitrateMP3.value(), 0);
    EXPECT_EQ(panel.CmbQualityOGG.listIndex(), 5);
    EXPECT_EQ(panel.CmbBitrateAC3.listIndex(), 7);
    EXPECT_EQ(panel.ChkUseLFEtoLR.value(), 1);
}

TEST_F(BitrateDefaults, UnlistedRateGetsTheDecoderPartAndTheFinalAltPresetRun) {
    panel.InitAllCombo();
    panel.ChkUseMaxBitrateMP3.setEnabled(true);
    panel.ChkUseMaxBitrateMP3.setValue(1);
    main.ApplyBitrateDefaults(57);
    EXPECT_EQ(panel.ChkUseLFEtoLR.value(), 1);
    EXPECT_EQ(panel.CmbBitrateAC3.listIndex(), 3);
    // The alt preset is still ticked from start-up, so its reaction unticks the maximum.
    EXPECT_EQ(panel.ChkUseMaxBitrateMP3.value(), 0);
}

} // namespace
} // namespace cantova::ui::testing
