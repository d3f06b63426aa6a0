#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

using Toggles = WindowsTest;

TEST_F(Toggles, FieldSwitchesResetTheirFields) {
    main.ChkSplitStartPoint.setValue(1);
    EXPECT_TRUE(main.TxtEndPoint.enabled());
    EXPECT_EQ(main.TxtEndPoint.text(), "0");
    main.TxtEndPoint.setText("75");
    main.ChkSplitStartPoint.setValue(0);
    EXPECT_EQ(main.TxtEndPoint.text(), "0");
    EXPECT_FALSE(main.TxtStartPoint.enabled());

    main.TxtDelay.setText("-24");
    main.ChkAutoDelay.setValue(1);
    EXPECT_EQ(main.TxtDelay.text(), "0");
    EXPECT_FALSE(main.TxtDelay.enabled());
    main.ChkAutoDelay.setValue(0);
    EXPECT_TRUE(main.TxtDelay.enabled());

    main.CmbSampleRate.setListIndex(2);
    main.ChkDownSample.setValue(1);
    EXPECT_EQ(main.CmbSampleRate.listIndex(), 0);
    EXPECT_TRUE(main.CmbSampleRate.enabled());

    main.ChkUseBoost.setValue(1);
    main.TxtBoostFactor.setText("5");
    EXPECT_TRUE(main.CmbCompModeBoost.enabled());
    main.ChkUseBoost.setValue(0);
    EXPECT_EQ(main.TxtBoostFactor.text(), "3");
    main.TxtBoostFactor.setText("4");
    main.ChkUseBoost.setValue(1);
    EXPECT_EQ(main.TxtBoostFactor.text(), "4");
}

struct Layout {
    JobKind jobKind;
    int width, height;
    Geometry frame1;
};

TEST_F(Toggles, PanelLayoutsForEveryJobKind) {
    for (const Layout& l : {Layout{JobKind::Mp3, 7295, 4520, {3360, 3485, 3735, 735}},
                            Layout{JobKind::Mp3FromAc3, 11140, 4520, {7205, 3485, 3735, 735}},
                            Layout{JobKind::OggFromAc3, 7900, 4520, {3965, 3485, 3735, 735}},
                            Layout{JobKind::Ac3, 4055, 6085, {120, 5050, 3735, 735}},
                            Layout{JobKind::Ogg, 4055, 4520, {120, 3485, 3735, 735}},
                            Layout{JobKind::WavFromAc3, 4055, 4520, {120, 3485, 3735, 735}}}) {
        main.ShowAdvancedPanel(l.jobKind);
        EXPECT_EQ(panel.width(), l.width) << NumberOf(l.jobKind);
        EXPECT_EQ(panel.height(), l.height) << NumberOf(l.jobKind);
        EXPECT_EQ(panel.Frame1.geometry(), l.frame1) << NumberOf(l.jobKind);
        EXPECT_FALSE(panel.Frame1.border());
        EXPECT_TRUE(panel.visible());
    }
    main.ShowAdvancedPanel(JobKind::Mp3FromAc3);
    EXPECT_EQ(panel.Frame8.geometry(), (Geometry{3965, 120, 6975, 3255}));
    EXPECT_TRUE(panel.Frame6.visible());
    EXPECT_FALSE(panel.Frame7.visible());
    EXPECT_FALSE(panel.Frame9.visible());
    main.ShowAdvancedPanel(JobKind::Ac3);
    EXPECT_EQ(panel.Frame9.geometry(), (Geometry{120, 3485, 3735, 1455}));
    EXPECT_FALSE(panel.Frame8.visible());
}

TEST_F(Toggles, AdvancedButtonDerivesTheJobKind) {
    main.CmdAdvancedAudio.press();
    EXPECT_EQ(panel.width(), 11140);
    main.OptAudioCodec[0].setEnabled(false);
    main.CmdAdvancedAudio.press();
    EXPECT_EQ(panel.width(), 7295);
    EXPECT_FALSE(panel.Frame6.visible());
    main.OptAudioCodec[2].setValue(true);
    main.CmdAdvancedAudio.press();
    EXPECT_EQ(panel.width(), 4055);
    EXPECT_TRUE(panel.Frame7.visible());
    main.OptAudioCodec[0].setEnabled(true);
    main.OptAudioCodec[0].setValue(true);
    main.CmdAdvancedAudio.press();
    EXPECT_EQ(panel.height(), 6085);
    // An AC3 target left chosen while greyed out (a profile or a program can do that) is the MP3
    // job it would be built as.
    main.OptAudioCodec[0].setEnabled(false);
    panel.hide();
    main.CmdAdvancedAudio.press();
    EXPECT_TRUE(panel.visible());
    EXPECT_EQ(panel.width(), 7295);
}

} // namespace
} // namespace cantova::ui::testing
