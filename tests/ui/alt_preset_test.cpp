#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

// MP3 "VBR" at 192 kbit/s: "Standard" selected, the list enabled.
class AltPreset : public WindowsTest {
protected:
    AltPreset() {
        main.CmbMP3Mode.setListIndex(2);
        PickRate(192);
    }
};

TEST_F(AltPreset, UpSkipsASeparatorUpwardsAndDownDownwards) {
    ASSERT_EQ(panel.CmbAltPreset.listIndex(), 4);
    panel.CmbAltPreset.pressKey(38);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 2);
    EXPECT_FALSE(panel.isKeyDown);
    EXPECT_EQ(panel.SavePreviousAltPresetListIndex, 2);
    panel.CmbAltPreset.pressKey(40);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 4);
    panel.CmbAltPreset.setListIndex(1);
    panel.CmbAltPreset.pressKey(38);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 1);
    EXPECT_EQ(panel.SavePreviousAltPresetListIndex, 1);
}

TEST_F(AltPreset, LeftOntoTheLastSeparatorReachesR3mixWhichLocksTwoOptions) {
    panel.CmbAltPreset.setListIndex(8);
    panel.ChkErrorProtection.setValue(1);
    panel.CmbAltPreset.pressKey(37);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 6);
    EXPECT_EQ(panel.ChkErrorProtection.value(), 0);
    EXPECT_FALSE(panel.ChkErrorProtection.enabled());
    EXPECT_EQ(panel.ChkUseScaleInput.value(), 0);
    EXPECT_FALSE(panel.ChkUseScaleInput.enabled());
    EXPECT_EQ(panel.TxtScaleInput.text(), "1");
    EXPECT_FALSE(panel.TxtScaleInput.enabled());
    panel.CmbAltPreset.setListIndex(5);
    EXPECT_TRUE(panel.ChkErrorProtection.enabled());
    EXPECT_TRUE(panel.ChkUseScaleInput.enabled());
    EXPECT_EQ(panel.ChkErrorProtection.value(), 0);
    EXPECT_EQ(panel.ChkUseScaleInput.value(), 0);
}

TEST_F(AltPreset, MousePickOfASeparatorMovesDownUnlessUpWasTheLastKey) {
    panel.CmbAltPreset.setListIndex(3);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 4);
    panel.CmbAltPreset.setListIndex(8);
    panel.CmbAltPreset.pressKey(65);
    panel.CmbAltPreset.setListIndex(7);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8);
    panel.CmbAltPreset_KeyDown(38);
    panel.CmbAltPreset.setListIndex(7);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 6);
    panel.CmbAltPreset.setListIndex(0);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 1);
}

TEST_F(AltPreset, KeysOnALockedListDoNothing) {
    main.CmbMP3Mode.setListIndex(0);
    ASSERT_FALSE(panel.CmbAltPreset.enabled());
    panel.CmbAltPreset.pressKey(38);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8);
    EXPECT_FALSE(panel.isKeyDown);
}

TEST_F(AltPreset, UntickingGivesTheSwitchesBackByMode) {
    panel.CmbAltPreset.setListIndex(1);
    panel.ChkUseALtPreset.setValue(0);
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8);
    EXPECT_FALSE(panel.CmbAltPreset.enabled());
    for (Control* c :
         {static_cast<Control*>(&panel.ChkModeMP3), static_cast<Control*>(&panel.ChkLowPassMP3),
          static_cast<Control*>(&panel.ChkUseATHType),
          static_cast<Control*>(&panel.ChkUseNspsytune), static_cast<Control*>(&panel.ChkPSYBass),
          static_cast<Control*>(&panel.ChkUseMinBitrateMP3),
          static_cast<Control*>(&panel.ChkUseMaxBitrateMP3),
          static_cast<Control*>(&panel.ChkUseQualityVBR),
          static_cast<Control*>(&panel.CmbRoutineVBR)}) {
        EXPECT_TRUE(c->enabled()) << c->name();
    }
    EXPECT_FALSE(panel.txtBitRateMP3.enabled());
    panel.ChkUseALtPreset.setValue(1);
    EXPECT_TRUE(panel.CmbAltPreset.enabled());
    EXPECT_FALSE(panel.CmbRoutineVBR.enabled());
}

using QualityEstimate = WindowsTest;

TEST_F(QualityEstimate, ItemsTypedTextsAndOutOfRange) {
    const std::vector<std::string> expected{"~ 57 Kbps",  "~ 64 Kbps",  "~ 79 Kbps",  "~ 94 Kbps",
                                            "~ 113 Kbps", "~ 125 Kbps", "~ 161 Kbps", "~ 195 Kbps",
                                            "~ 224 Kbps", "~ 257 Kbps", "~ 316 Kbps"};
    for (int i = 0; i < 11; ++i) {
        panel.CmbQualityOGG.setListIndex(i);
        EXPECT_EQ(panel.LbEstimate.caption(), expected[i]) << i;
    }
    panel.CmbQualityOGG.setText("");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 56 Kbps");
    panel.CmbQualityOGG.setText("1");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 475 Kbps");
    panel.CmbQualityOGG.setText("  0.4 best");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 125 Kbps");
    panel.CmbQualityOGG.setText("10");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 125 Kbps");
    panel.CmbQualityOGG.setText("abc");
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 56 Kbps");
}

} // namespace
} // namespace cantova::ui::testing
