#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

using PanelRules = WindowsTest;

TEST_F(PanelRules, TwoChannelSourceLocksTheSurroundOptions) {
    windows.program.Ac3Channels = 2;
    PickRate(160);
    for (CheckBox* box : {&panel.ChkUse51ModeOGG, &panel.ChkUse51ModeAC3,
                          &panel.ChkConvertAC351To20, &panel.ChkUseOutPutModeAzid}) {
        EXPECT_EQ(box->value(), 0) << box->name();
        EXPECT_FALSE(box->enabled()) << box->name();
    }
    windows.program.Ac3Channels = 6;
    panel.DisableUseLessSwitch();
    for (CheckBox* box : {&panel.ChkUse51ModeOGG, &panel.ChkUse51ModeAC3,
                          &panel.ChkConvertAC351To20, &panel.ChkUseOutPutModeAzid}) {
        EXPECT_EQ(box->value(), 0) << box->name();
        EXPECT_TRUE(box->enabled()) << box->name();
    }
}

TEST_F(PanelRules, HybridGainLocksGainNormalisationAndScaling) {
    main.CmbGainMode.setListIndex(3);
    for (CheckBox* box : {&panel.ChkUseGain, &panel.ChkNormalise, &panel.ChkDialogNormalise,
                          &panel.ChkUseScaleInput}) {
        EXPECT_EQ(box->value(), 0) << box->name();
        EXPECT_FALSE(box->enabled()) << box->name();
    }
    EXPECT_FALSE(panel.TxtScaleInput.enabled());
    // A bit-rate choice ticks scaling, and the closing lock takes it back.
    PickRate(192);
    EXPECT_EQ(panel.ChkUseScaleInput.value(), 0);
    EXPECT_FALSE(panel.ChkUseScaleInput.enabled());
    main.CmbGainMode.setListIndex(1);
    for (CheckBox* box : {&panel.ChkUseGain, &panel.ChkNormalise, &panel.ChkDialogNormalise,
                          &panel.ChkUseScaleInput}) {
        EXPECT_EQ(box->value(), 0) << box->name();
        EXPECT_TRUE(box->enabled()) << box->name();
    }
}

TEST_F(PanelRules, ManualGainAndNormalisationExcludeEachOther) {
    panel.ChkUseGain.setValue(1);
    EXPECT_TRUE(panel.TxtGainAzid.enabled());
    EXPECT_FALSE(panel.ChkNormalise.enabled());
    panel.TxtGainAzid.setText("12");
    panel.CmbGainModeAzid.setListIndex(1);
    panel.ChkNormalise.setValue(1);
    EXPECT_EQ(panel.ChkUseGain.value(), 0);
    EXPECT_FALSE(panel.ChkUseGain.enabled());
    EXPECT_EQ(panel.TxtGainAzid.text(), "6");
    EXPECT_FALSE(panel.TxtGainAzid.enabled());
    EXPECT_EQ(panel.CmbGainModeAzid.listIndex(), 0);
    EXPECT_TRUE(panel.ChkNormalise.enabled());
    panel.ChkNormalise.setValue(0);
    EXPECT_TRUE(panel.ChkUseGain.enabled());
}

// "Keep 5.1 AC3 Input" is ticked at start-up; unticking it runs its own reaction last.
TEST_F(PanelRules, ConvertTo20WhileKeeping51LeavesTheOutputModeEnabled) {
    ASSERT_EQ(panel.ChkUse51ModeAC3.value(), 1);
    panel.ChkConvertAC351To20.setValue(1);
    EXPECT_EQ(panel.ChkUseOutPutModeAzid.value(), 1);
    EXPECT_TRUE(panel.ChkUseOutPutModeAzid.enabled());
    EXPECT_EQ(panel.CmbStereoMode.listIndex(), 2);
    EXPECT_FALSE(panel.CmbStereoMode.enabled());
    EXPECT_EQ(panel.ChkUse51ModeAC3.value(), 0);
    EXPECT_FALSE(panel.ChkUse51ModeAC3.enabled());

    panel.ChkConvertAC351To20.setValue(0);
    EXPECT_EQ(panel.ChkUseOutPutModeAzid.value(), 0);
    EXPECT_TRUE(panel.ChkUseOutPutModeAzid.enabled());
    EXPECT_EQ(panel.CmbStereoMode.listIndex(), 0);
    EXPECT_FALSE(panel.CmbStereoMode.enabled());
    EXPECT_TRUE(panel.ChkUse51ModeAC3.enabled());

    panel.ChkUse51ModeAC3.setValue(1);
    EXPECT_FALSE(panel.ChkUseOutPutModeAzid.enabled());
    EXPECT_EQ(panel.ChkConvertAC351To20.value(), 0);
    EXPECT_FALSE(panel.ChkConvertAC351To20.enabled());
}

TEST_F(PanelRules, UntickedCompanionsAreResetAndLocked) {
    panel.ChkUseLFEtoLR.setValue(1);
    panel.TxtLFEToLR.setText("-6db");
    panel.ChkUseLFEtoLR.setValue(0);
    EXPECT_EQ(panel.TxtLFEToLR.text(), "-3db");
    EXPECT_FALSE(panel.TxtLFEToLR.enabled());
    panel.ChkUseDynamicCompressionAzid.setValue(1);
    panel.CmbDynaComp.setListIndex(2);
    panel.ChkUseDynamicCompressionAzid.setValue(0);
    EXPECT_EQ(panel.CmbDynaComp.listIndex(), 0);
    EXPECT_FALSE(panel.CmbDynaComp.enabled());
    panel.ChkUseMinBitrateOGG.setValue(1);
    EXPECT_TRUE(panel.TxtMinBitrateOGG.enabled());
    panel.TxtMinBitrateOGG.setText("48");
    panel.ChkUseMinBitrateOGG.setValue(0);
    EXPECT_EQ(panel.TxtMinBitrateOGG.text(), "32");
    EXPECT_FALSE(panel.TxtMinBitrateOGG.enabled());
}

} // namespace
} // namespace cantova::ui::testing
