#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

using StartUp = WindowsTest;

TEST_F(StartUp, MainWindowReachesItsStartUpTable) {
    EXPECT_EQ(main.OptAudioCodec.chosen(), 1);
    EXPECT_TRUE(main.OptAudioCodec[0].enabled());
    EXPECT_EQ(main.CmbMP3Mode.listIndex(), 0);
    EXPECT_TRUE(main.CmbMP3Mode.enabled());
    EXPECT_EQ(main.CmbOGGMode.listIndex(), 1);
    EXPECT_FALSE(main.CmbOGGMode.enabled());
    EXPECT_EQ(main.CmbWAVmode.listIndex(), 0);
    EXPECT_TRUE(main.CmbWAVmode.enabled());
    ASSERT_EQ(main.CmbBitrateAudio.listCount(), 11);
    EXPECT_EQ(main.CmbBitrateAudio.listIndex(), 5);
    EXPECT_EQ(main.CmbBitrateAudio.text(), "128   Kbt/s");
    EXPECT_TRUE(main.CmbBitrateAudio.enabled());
    EXPECT_EQ(main.ChkAC3Reencode.value(), 0);
    EXPECT_FALSE(main.ChkAC3Reencode.enabled());
    EXPECT_TRUE(main.CmdAdvancedAudio.enabled());
    EXPECT_EQ(
        main.CmbGainMode.items(),
        (std::vector<ListItem>{
            {"None", 0}, {"Pre -Gain", 1}, {"Post -Gain", 2}, {"HybridGain", 3}, {"Loudness", 4}}));
    EXPECT_EQ(main.CmbGainMode.listIndex(), 0);
    EXPECT_EQ(main.ChkUseBoost.value(), 0);
    EXPECT_EQ(main.TxtBoostFactor.text(), "3");
    EXPECT_EQ(main.TxtLimitFactor.text(), "0.95");
    EXPECT_EQ(main.CmbCompModeBoost.listIndex(), 1);
    EXPECT_FALSE(main.TxtBoostFactor.enabled());
    EXPECT_FALSE(main.TxtLimitFactor.enabled());
    EXPECT_FALSE(main.CmbCompModeBoost.enabled());
    EXPECT_EQ(main.ChkDownSample.value(), 0);
    EXPECT_EQ(main.CmbSampleRate.listIndex(), 0);
    EXPECT_FALSE(main.CmbSampleRate.enabled());
    EXPECT_EQ(main.ChkAutoDelay.value(), 0);
    EXPECT_EQ(main.TxtDelay.text(), "0");
    EXPECT_TRUE(main.TxtDelay.enabled());
    EXPECT_EQ(main.ChkSplitStartPoint.value(), 0);
    EXPECT_EQ(main.ChkSplitEndPoint.value(), 0);
    EXPECT_EQ(main.TxtStartPoint.text(), "0");
    EXPECT_EQ(main.TxtEndPoint.text(), "2");
    EXPECT_FALSE(main.TxtStartPoint.enabled());
    EXPECT_FALSE(main.TxtEndPoint.enabled());
    EXPECT_EQ(main.CmbPriority.listIndex(), 0);
    EXPECT_FALSE(main.CmbPriority.enabled());
    EXPECT_EQ(main.LbStream1Info.caption(), "");
    EXPECT_FALSE(main.CmdAddAudioJobList.enabled());
    EXPECT_FALSE(main.CmdDelAudioJobList.enabled());
    EXPECT_FALSE(main.cmdStartEncode.enabled());
    EXPECT_FALSE(main.CmdClipboard.enabled());
    EXPECT_EQ(main.TxtStreamAudio.text(), "");
}

// MP3 "CBR" at 128 kbit/s, Ogg "VBR", no source.
// Frames side by side in one container never cover each other: a frame added to the form must
// find room of its own, or a control of the other frame lies hidden under it.
TEST_F(StartUp, VisibleFramesOfTheMainWindowDoNotOverlap) {
    std::vector<const Control*> frames;
    for (const Control* control : main.controls()) {
        if (control->kind() == ControlKind::Frame && control->visible()) {
            frames.push_back(control);
        }
    }
    ASSERT_GT(frames.size(), 5u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        for (std::size_t j = i + 1; j < frames.size(); ++j) {
            const Geometry& a = frames[i]->geometry();
            const Geometry& b = frames[j]->geometry();
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(frames[i]->container() != frames[j]->container() || apart)
                << frames[i]->name() << " and " << frames[j]->name() << " overlap";
        }
    }
}

TEST_F(StartUp, PanelHoldsTheDefaultsForMp3At128) {
    EXPECT_FALSE(panel.visible());
    // Decoder: output mode ticked by the defaults, then taken back by "Keep 5.1 AC3 Input".
    EXPECT_EQ(panel.ChkUseLFEtoLR.value(), 1);
    EXPECT_EQ(panel.ChkUseOutPutModeAzid.value(), 0);
    EXPECT_TRUE(panel.ChkUseOutPutModeAzid.enabled());
    EXPECT_EQ(panel.CmbStereoMode.listIndex(), 0);
    EXPECT_FALSE(panel.CmbStereoMode.enabled());
    EXPECT_EQ(panel.ChkUseDynamicCompressionAzid.value(), 1);
    EXPECT_EQ(panel.CmbDynaComp.listIndex(), 0);
    EXPECT_EQ(panel.ChkUseGain.value(), 0);
    EXPECT_EQ(panel.ChkDialogNormalise.value(), 1);
    // Lame: the alt preset holds the tuning.
    EXPECT_EQ(panel.ChkUseALtPreset.value(), 1);
    EXPECT_EQ(panel.txtBitRateMP3.text(), "128");
    EXPECT_TRUE(panel.txtBitRateMP3.enabled());
    EXPECT_EQ(panel.ChkUseScaleInput.value(), 1);
    EXPECT_TRUE(panel.TxtScaleInput.enabled());
    EXPECT_EQ(panel.ChkErrorProtection.value(), 0);
    EXPECT_TRUE(panel.ChkErrorProtection.enabled());
    EXPECT_EQ(panel.CmbAltPreset.listIndex(), 8);
    EXPECT_FALSE(panel.CmbAltPreset.enabled());
    EXPECT_EQ(panel.CmbRoutineVBR.listIndex(), 2);
    EXPECT_EQ(panel.CmbQualityVBRMP3.listIndex(), 1);
    EXPECT_EQ(panel.CmbModeAudio.listIndex(), 1);
    EXPECT_EQ(panel.CmbLowPassMP3.listIndex(), 5);
    for (CheckBox* box : {&panel.ChkModeMP3, &panel.ChkLowPassMP3, &panel.ChkUseATHType,
                          &panel.ChkUseNspsytune, &panel.ChkPSYBass, &panel.ChkUseQualityVBR,
                          &panel.ChkUseMinBitrateMP3, &panel.ChkUseMaxBitrateMP3}) {
        EXPECT_EQ(box->value(), 0) << box->name();
        EXPECT_FALSE(box->enabled()) << box->name();
    }
    EXPECT_FALSE(panel.CmbRoutineVBR.enabled());
    // Vorbis in VBR mode.
    EXPECT_EQ(panel.CmbQualityOGG.text(), "0.400");
    EXPECT_TRUE(panel.CmbQualityOGG.enabled());
    EXPECT_EQ(panel.LbEstimate.caption(), "~ 125 Kbps");
    EXPECT_FALSE(panel.TxtNominalBitrate.enabled());
    EXPECT_FALSE(panel.ChkUseMinBitrateOGG.enabled());
    EXPECT_FALSE(panel.ChkUseMaxBitrateOGG.enabled());
    // AC3 encoder.
    EXPECT_EQ(panel.ChkUse51ModeAC3.value(), 1);
    EXPECT_EQ(panel.CmbBitrateAC3.listIndex(), 0);
    EXPECT_EQ(panel.ChkConvertAC351To20.value(), 0);
    EXPECT_TRUE(panel.ChkConvertAC351To20.enabled());
    EXPECT_EQ(panel.SavePreviousAltPresetListIndex, 8);
    EXPECT_FALSE(panel.isKeyDown);
}

} // namespace
} // namespace cantova::ui::testing
