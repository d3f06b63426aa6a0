#include "command/bitrate_choice.h"
#include "sound/channel_mix.h"
#include "sound/source_format.h"

#include <gtest/gtest.h>

#include <cmath>

namespace cantova {
namespace {

using Gains = std::vector<std::vector<double>>;

const ChannelNames kFiveOne = {"FL", "FR", "FC", "LFE", "SL", "SR"};

void expectGains(const ChannelMix& mix, const Gains& expected) {
    ASSERT_EQ(mix.gains.size(), expected.size());
    for (std::size_t o = 0; o < expected.size(); ++o) {
        ASSERT_EQ(mix.gains[o].size(), expected[o].size());
        for (std::size_t i = 0; i < expected[o].size(); ++i) {
            EXPECT_NEAR(mix.gains[o][i], expected[o][i], 5e-5) << "output " << o << " input " << i;
        }
    }
}

// The coefficients transcoder/README.md gives, as the README rounds them.
TEST(ChannelMix, DownmixesFiveOneByTheDocumentedMatrices) {
    expectGains(stereoMix(kFiveOne, StereoMode::Plain, {}, std::nullopt),
                {{0.4142, 0, 0.2929, 0, 0.2929, 0}, {0, 0.4142, 0.2929, 0, 0, 0.2929}});
    expectGains(stereoMix(kFiveOne, StereoMode::DolbySurround, {}, std::nullopt),
                {{0.3204, 0, 0.2265, 0, -0.2265, -0.2265}, {0, 0.3204, 0.2265, 0, 0.2265, 0.2265}});
    expectGains(stereoMix(kFiveOne, StereoMode::ProLogic2, {}, std::nullopt),
                {{0.3225, 0, 0.2280, 0, -0.2633, -0.1862}, {0, 0.3225, 0.2280, 0, 0.1862, 0.2633}});
}

TEST(ChannelMix, TakesTheCentreAndSurroundLevelsAnAc3StreamAsksForInThePlainDownmixOnly) {
    // -4.5 dB centre, surrounds left out: the sum is 1 + 0.5946.
    const StereoMixLevels levels{0.5946, 0.0};
    expectGains(stereoMix(kFiveOne, StereoMode::Plain, levels, std::nullopt),
                {{0.6271, 0, 0.3729, 0, 0, 0}, {0, 0.6271, 0.3729, 0, 0, 0}});
    expectGains(stereoMix(kFiveOne, StereoMode::DolbySurround, levels, std::nullopt),
                {{0.3204, 0, 0.2265, 0, -0.2265, -0.2265}, {0, 0.3204, 0.2265, 0, 0.2265, 0.2265}});
    // A back centre reaches both sides at -3 dB below the surround level.
    expectGains(stereoMix({"FL", "FR", "BC"}, StereoMode::Plain, {0.7071, 0.5}, std::nullopt),
                {{0.7388, 0, 0.2612}, {0, 0.7388, 0.2612}});
}

TEST(ChannelMix, NoOutputCanExceedFullScaleAndTheLfeKeepsItsLevelRelativeToTheFronts) {
    const double lfe = std::pow(10.0, -3.0 / 20.0);
    for (StereoMode mode : {StereoMode::Plain, StereoMode::DolbySurround, StereoMode::ProLogic2}) {
        for (const ChannelMix& mix : {stereoMix(kFiveOne, mode, {}, lfe)}) {
            double largest = 0.0;
            for (const std::vector<double>& row : mix.gains) {
                double sum = 0.0;
                for (double gain : row) {
                    sum += std::abs(gain);
                }
                largest = std::max(largest, sum);
            }
            EXPECT_NEAR(largest, 1.0, 1e-12);
            EXPECT_NEAR(mix.gains[0][3] / mix.gains[0][0], lfe, 1e-12);
            EXPECT_NEAR(mix.gains[1][3] / mix.gains[1][1], lfe, 1e-12);
        }
    }
    // 5.1 kept as it is: the LFE stays in its own channel only.
    EXPECT_FALSE(mixFilter(fiveOneMix(kFiveOne), kFiveOne).has_value());
    EXPECT_EQ(*lfeLowPassFilter(kFiveOne), "lowpass=f=120:t=q:w=0.5412:c=LFE,"
                                           "lowpass=f=120:t=q:w=1.3066:c=LFE");
    EXPECT_FALSE(lfeLowPassFilter({"FL", "FR", "FC"}).has_value());
}

TEST(ChannelMix, GivesAMonoSourceToBothSidesAtItsOwnLevelAndKeepsStereoAsItIs) {
    expectGains(stereoMix({"FC"}, StereoMode::DolbySurround, {}, std::nullopt), {{1.0}, {1.0}});
    const ChannelMix stereo = stereoMix({"FL", "FR"}, StereoMode::ProLogic2, {}, 0.5);
    EXPECT_FALSE(mixFilter(stereo, {"FL", "FR"}).has_value());
    EXPECT_EQ(*mixFilter(stereoMix({"FC"}, StereoMode::Plain, {}, std::nullopt), {"FC"}),
              "pan=stereo|c0=1*c0|c1=1*c0");
}

TEST(ChannelMix, PlacesTheChannelsOfOtherLayoutsByWhereTheySit) {
    // 5.1 with back surrounds, 7.1: the surrounds of a side add up, a back centre feeds both.
    const ChannelMix back =
        stereoMix(*channelsOfLayout("5.1", 6), StereoMode::Plain, {}, std::nullopt);
    EXPECT_NEAR(back.gains[0][4], 0.2929, 5e-5);
    const ChannelMix sevenOne =
        stereoMix(*channelsOfLayout("7.1", 8), StereoMode::Plain, {}, std::nullopt);
    EXPECT_NEAR(sevenOne.gains[0][0], 1.0 / (1.0 + 3.0 * std::sqrt(0.5)), 1e-12);
    EXPECT_NEAR(sevenOne.gains[0][6], sevenOne.gains[0][4], 1e-12);
    const ChannelMix surround = fiveOneMix(*channelsOfLayout("4.0", 4));
    EXPECT_NEAR(surround.gains[4][3], std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(surround.gains[5][3], std::sqrt(0.5), 1e-12);
    EXPECT_EQ(*mixFilter(surround, {"FL", "FR", "FC", "BC"}),
              "pan=5.1(side)|c0=1*c0|c1=1*c1|c2=1*c2|c3=0*c0|c4=0.7071067811865476*c3|"
              "c5=0.7071067811865476*c3");
    EXPECT_EQ(
        *mixFilter(stereoMix(kFiveOne, StereoMode::DolbySurround, {}, std::nullopt), kFiveOne),
        "pan=stereo|c0=0.32037724101704074*c0+0.22654091966098644*c2-0.22654091966098644*c4-"
        "0.22654091966098644*c5|c1=0.32037724101704074*c1+0.22654091966098644*c2+"
        "0.22654091966098644*c4+0.22654091966098644*c5");
}

TEST(ChannelMix, ReadsLayoutsAsFfmpegNamesThem) {
    EXPECT_EQ(*channelsOfLayout("5.1(side)", 6), kFiveOne);
    EXPECT_EQ(*channelsOfLayout("FL+FR+LFE", 3), (ChannelNames{"FL", "FR", "LFE"}));
    EXPECT_EQ(*channelsOfLayout("3 channels (FR+FL+FC)", 3), (ChannelNames{"FR", "FL", "FC"}));
    // Unknown: ffmpeg's own guess for the count, but three channels keep their centre.
    EXPECT_EQ(*channelsOfLayout("unknown", 3), (ChannelNames{"FL", "FR", "FC"}));
    EXPECT_EQ(*channelsOfLayout("", 6), (ChannelNames{"FL", "FR", "FC", "LFE", "BL", "BR"}));
    EXPECT_EQ(*channelsOfLayout("", 1), ChannelNames{"FC"});
    EXPECT_FALSE(channelsOfLayout("stereo", 3).has_value());
    EXPECT_FALSE(channelsOfLayout("unknown", 30).has_value());

    const auto probed = readSourceProbe(
        "[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 pos:44 fmt:s16 channels:3 chlayout:2.1 "
        "rate:44100 nb_samples:682 checksum:DF97A1A3\n");
    ASSERT_TRUE(probed.has_value());
    EXPECT_EQ(probed->sampleRate, 44100);
    EXPECT_EQ(probed->channels, (ChannelNames{"FL", "FR", "LFE"}));
    EXPECT_TRUE(probed->sixteenBit);
    EXPECT_EQ(probed->pcmBits, 0);
    const auto deep = readSourceProbe(
        "  Stream #0:0: Audio: pcm_s24le ([1][0][0][0] / 0x0001), 48000 Hz, stereo, s32 (24 bit)\n"
        "[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 pos:102 fmt:s32 channels:2 "
        "chlayout:stereo rate:48000 nb_samples:682\n");
    ASSERT_TRUE(deep.has_value());
    EXPECT_EQ(deep->pcmBits, 24);
    EXPECT_FALSE(deep->sixteenBit);
    // A WAVE file without a channel mask: ffmpeg's guess is not taken.
    const auto guessed = readSourceProbe(
        "Guessed Channel Layout for Input Stream #0.0 : 2.1\n[Parsed_ashowinfo_0 @ 0x5] n:0 "
        "pts:0 pts_time:0 pos:44 fmt:fltp channels:3 chlayout:2.1 rate:48000 nb_samples:682\n");
    ASSERT_TRUE(guessed.has_value());
    EXPECT_EQ(guessed->channels, (ChannelNames{"FL", "FR", "FC"}));
    EXPECT_FALSE(guessed->sixteenBit);
    EXPECT_FALSE(readSourceProbe("Invalid data found when processing input\n").has_value());
}

TEST(BitrateChoice, TakesTheNearestAc3Bitrate) {
    EXPECT_EQ(nearestAc3Bitrate(192), 192);
    EXPECT_EQ(nearestAc3Bitrate(200), 192);
    EXPECT_EQ(nearestAc3Bitrate(600), 576);
    EXPECT_EQ(nearestAc3Bitrate(33), 32);
}

} // namespace
} // namespace cantova
