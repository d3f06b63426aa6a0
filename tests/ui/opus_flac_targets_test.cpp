// The Opus and FLAC targets: what choosing them does to the main window's lists, the job kind
// and the panel's frames.

#include "tests/ui/windows_fixture.h"

namespace cantova::ui::testing {
namespace {

using OpusFlacTargets = WindowsTest;

const std::vector<ListItem> kLossyGainModes{
    {"None", 0}, {"Pre -Gain", 1}, {"Post -Gain", 2}, {"HybridGain", 3}, {"Loudness", 4}};
const std::vector<ListItem> kLosslessGainModes{{"None", 0}, {"Pre -Gain", 1}, {"Loudness", 4}};

TEST_F(OpusFlacTargets, OpusOffersItsRatesWithTheLossyGainModes) {
    main.OptAudioCodec[4].setValue(true);
    ASSERT_EQ(main.CmbBitrateAudio.listCount(), 10);
    EXPECT_EQ(main.CmbBitrateAudio.list(0), "64    Kbt/s");
    EXPECT_EQ(main.CmbBitrateAudio.list(9), "512   Kbt/s");
    EXPECT_EQ(main.CmbBitrateAudio.itemData(9), 13);
    // Without a known channel count the stereo rate is offered.
    EXPECT_EQ(main.CmbBitrateAudio.text(), "128   Kbt/s");
    EXPECT_TRUE(main.CmbBitrateAudio.enabled());
    EXPECT_FALSE(main.CmbMP3Mode.enabled());
    EXPECT_FALSE(main.CmbOGGMode.enabled());
    EXPECT_TRUE(main.CmdAdvancedAudio.enabled());
    EXPECT_EQ(main.CmbGainMode.items(), kLossyGainModes);
    EXPECT_EQ(panel.CmbOpusMode.text(), "VBR");
    EXPECT_EQ(panel.ChkOpusStereo.value(), 0);
}

TEST_F(OpusFlacTargets, OpusRateFollowsTheSourceChannels) {
    const auto rateFor = [&](int ac3Channels) {
        windows.program.Ac3Channels = ac3Channels;
        main.OptAudioCodec[1].setValue(true);
        main.OptAudioCodec[4].setValue(true);
        return main.CmbBitrateAudio.text();
    };
    EXPECT_EQ(rateFor(1), "64    Kbt/s");
    EXPECT_EQ(rateFor(2), "128   Kbt/s");
    EXPECT_EQ(rateFor(5), "256   Kbt/s");

    // A container's track counts its channels without the low-frequency one.
    windows.program.Ac3Channels = 0;
    SourceTrack track;
    track.number = 1;
    track.channels = 8;
    track.lfeChannels = 1;
    windows.program.SourceTracks = {track};
    main.CmbSourceTrack.restoreItems({{"1: TrueHD 7.1", 1}}, 0);
    main.OptAudioCodec[1].setValue(true);
    main.OptAudioCodec[4].setValue(true);
    EXPECT_EQ(main.CmbBitrateAudio.text(), "384   Kbt/s");
}

TEST_F(OpusFlacTargets, FlacHasNoRateAndTheLosslessGainModes) {
    main.CmbGainMode.setListIndex(3);
    main.OptAudioCodec[0].setEnabled(false);
    main.OptAudioCodec[5].setValue(true);
    EXPECT_EQ(main.CmbBitrateAudio.items(), (std::vector<ListItem>{{"Lossless", -1}}));
    EXPECT_FALSE(main.CmbBitrateAudio.enabled());
    EXPECT_EQ(main.CmbGainMode.items(), kLosslessGainModes);
    EXPECT_EQ(main.CmbGainMode.listIndex(), 0);
    // The compression level is in the panel, whatever the source.
    EXPECT_TRUE(main.CmdAdvancedAudio.enabled());
    EXPECT_EQ(panel.CmbFlacLevel.text(), "5");
}

TEST_F(OpusFlacTargets, KindsFollowTheTargetAndTheAc3Choice) {
    main.OptAudioCodec[4].setValue(true);
    EXPECT_EQ(JobKindOf(main), JobKind::OpusFromAc3);
    main.OptAudioCodec[5].setValue(true);
    EXPECT_EQ(JobKindOf(main), JobKind::FlacFromAc3);
    main.OptAudioCodec[0].setEnabled(false);
    EXPECT_EQ(JobKindOf(main), JobKind::Flac);
    main.OptAudioCodec[4].setValue(true);
    EXPECT_EQ(JobKindOf(main), JobKind::Opus);
    EXPECT_EQ(JobKindFromNumber(10), JobKind::FlacFromAc3);
    EXPECT_EQ(JobKindFromNumber(11), std::nullopt);
}

TEST_F(OpusFlacTargets, ThePanelShowsTheEncoderFrameBesideTheDecoders) {
    main.ShowAdvancedPanel(JobKind::OpusFromAc3);
    EXPECT_TRUE(panel.Frame6.visible());
    EXPECT_TRUE(panel.FrameOpus.visible());
    EXPECT_FALSE(panel.FrameFlac.visible());
    EXPECT_FALSE(panel.Frame8.visible());
    EXPECT_EQ(panel.FrameOpus.geometry().left, 120 + panel.Frame6.geometry().width + 110);
    // The Opus frame is short: the panel still holds the whole decoder frame.
    EXPECT_GE(panel.height(), panel.Frame6.geometry().top + panel.Frame6.geometry().height);

    main.ShowAdvancedPanel(JobKind::Flac);
    EXPECT_FALSE(panel.Frame6.visible());
    EXPECT_FALSE(panel.FrameOpus.visible());
    EXPECT_TRUE(panel.FrameFlac.visible());
    EXPECT_EQ(panel.FrameFlac.geometry().left, 120);
    EXPECT_EQ(panel.FrameFlac.geometry().top, 120);
    const Geometry close = panel.Frame1.geometry();
    EXPECT_GT(close.top, panel.FrameFlac.geometry().top + panel.FrameFlac.geometry().height);
    EXPECT_GE(panel.height(), close.top + close.height);
}

} // namespace
} // namespace cantova::ui::testing
