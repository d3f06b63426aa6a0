#include "bitrate_choice.h"
#include "channel_mix.h"
#include "source_format.h"

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
    expectGains(stereoMix(kFiveOne, StereoMode::Plain, std::nullopt),
                {{0.4142, 0, 0.2929, 0, 0.2929, 0}, {0, 0.4142, 0.2929, 0, 0, 0.2929}});
    expectGains(stereoMix(kFiveOne, StereoMode::DolbySurround, std::nullopt),
                {{0.3204, 0, 0.2265, 0, -0.2265, -0.2265}, {0, 0.3204, 0.2265, 0, 0.2265, 0.2265}});
    expectGains(stereoMix(kFiveOne, StereoMode::ProLogic2, std::nullopt),
                {{0.3225, 0, 0.2280, 0, -0.2633, -0.1862}, {0, 0.3225, 0.2280, 0, 0.1862, 0.2633}});
}

TEST(ChannelMix, NoOutputCanExceedFullScaleAndTheLfeKeepsItsLevelRelativeToTheFronts) {
    const double lfe = std::pow(10.0, -3.0 / 20.0);
    for (StereoMode mode : {StereoMode::Plain, StereoMode::DolbySurround, StereoMode::ProLogic2}) {
        for (const ChannelMix& mix : {stereoMix(kFiveOne, mode, lfe), fiveOneMix(kFiveOne, lfe)}) {
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
    // 5.1 kept as it is, but for the LFE in the fronts and the headroom that takes.
    const ChannelMix fiveOne = fiveOneMix(kFiveOne, lfe);
    EXPECT_NEAR(fiveOne.headroomScale, 1.0 / (1.0 + lfe), 1e-12);
    EXPECT_NEAR(fiveOne.gains[4][4], fiveOne.headroomScale, 1e-12);
    EXPECT_EQ(fiveOne.gains[4][3], 0.0);
}

TEST(ChannelMix, GivesAMonoSourceToBothSidesAtItsOwnLevelAndKeepsStereoAsItIs) {
    expectGains(stereoMix({"FC"}, StereoMode::DolbySurround, std::nullopt), {{1.0}, {1.0}});
    const ChannelMix stereo = stereoMix({"FL", "FR"}, StereoMode::ProLogic2, 0.5);
    EXPECT_FALSE(mixFilter(stereo, {"FL", "FR"}).has_value());
    EXPECT_FALSE(mixFilter(fiveOneMix(kFiveOne, std::nullopt), kFiveOne).has_value());
    EXPECT_EQ(*mixFilter(stereoMix({"FC"}, StereoMode::Plain, std::nullopt), {"FC"}),
              "pan=stereo|c0=1*c0|c1=1*c0");
}

TEST(ChannelMix, PlacesTheChannelsOfOtherLayoutsByWhereTheySit) {
    // 5.1 with back surrounds, 7.1: the surrounds of a side add up, a back centre feeds both.
    const ChannelMix back = stereoMix(*channelsOfLayout("5.1", 6), StereoMode::Plain, std::nullopt);
    EXPECT_NEAR(back.gains[0][4], 0.2929, 5e-5);
    const ChannelMix sevenOne =
        stereoMix(*channelsOfLayout("7.1", 8), StereoMode::Plain, std::nullopt);
    EXPECT_NEAR(sevenOne.gains[0][0], 1.0 / (1.0 + 3.0 * std::sqrt(0.5)), 1e-12);
    EXPECT_NEAR(sevenOne.gains[0][6], sevenOne.gains[0][4], 1e-12);
    const ChannelMix surround = fiveOneMix(*channelsOfLayout("4.0", 4), std::nullopt);
    EXPECT_NEAR(surround.gains[4][3], std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(surround.gains[5][3], std::sqrt(0.5), 1e-12);
    EXPECT_EQ(*mixFilter(surround, {"FL", "FR", "FC", "BC"}),
              "pan=5.1(side)|c0=1*c0|c1=1*c1|c2=1*c2|c3=0*c0|c4=0.7071067811865476*c3|"
              "c5=0.7071067811865476*c3");
    EXPECT_EQ(*mixFilter(stereoMix(kFiveOne, StereoMode::DolbySurround, std::nullopt), kFiveOne),
              "pan=stereo|c0=0.32037724101704074*c0+0.22654091966098644*c2-0.22654091966098644*c4-"
              "0.22654091966098644*c5|c1=0.32037724101704074*c1+0.22654091966098644*c2+"
              "0.22654091966098644*c4+0.22654091966098644*c5");
}

TEST(ChannelMix, ReadsLayoutsAsFfmpegNamesThem) {
    EXPECT_EQ(*channelsOfLayout("5.1(side)", 6), kFiveOne);
    EXPECT_EQ(*channelsOfLayout("FL+FR+LFE", 3), (ChannelNames{"FL", "FR", "LFE"}));
    EXPECT_EQ(*channelsOfLayout("3 channels (FR+FL+FC)", 3), (ChannelNames{"FR", "FL", "FC"}));
    // Unknown: ffmpeg's own guess for the count.
    EXPECT_EQ(*channelsOfLayout("unknown", 3), (ChannelNames{"FL", "FR", "LFE"}));
    EXPECT_EQ(*channelsOfLayout("", 1), ChannelNames{"FC"});
    EXPECT_FALSE(channelsOfLayout("stereo", 3).has_value());
    EXPECT_FALSE(channelsOfLayout("unknown", 30).has_value());

    const auto probed = readSourceProbe(
        "[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 pos:44 fmt:s16 channels:3 chlayout:2.1 "
        "rate:44100 nb_samples:682 checksum:DF97A1A3\n");
    ASSERT_TRUE(probed.has_value());
    EXPECT_EQ(probed->sampleRate, 44100);
    EXPECT_EQ(probed->channels, (ChannelNames{"FL", "FR", "LFE"}));
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
