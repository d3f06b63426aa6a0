// The file of loudness curves the transcoder writes beside its log, as the GUI reads it.

#include "jobs/loudness_curves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using cantova::jobs::ParseCurvesLine;
using cantova::jobs::ParseLoudnessCurves;

constexpr const char* kCurves = "cantova-loudness 1\n"
                                "target -16\n"
                                "ceiling -1\n"
                                "integrated -23.4 -16.0\n"
                                "interval 0.5\n"
                                "limiter 1.0 1.5\n"
                                "a later version's line\n"
                                "-inf -inf\n"
                                "-30.5 -23.1\n"
                                "-20 -14.2\n";

TEST(LoudnessCurves, AFileIsReadWhole) {
    const auto curves = ParseLoudnessCurves(kCurves);
    ASSERT_TRUE(curves);
    EXPECT_EQ(curves->target, -16);
    EXPECT_EQ(curves->ceiling, -1);
    EXPECT_DOUBLE_EQ(curves->sourceIntegrated, -23.4);
    EXPECT_DOUBLE_EQ(curves->outputIntegrated, -16.0);
    EXPECT_DOUBLE_EQ(curves->interval, 0.5);
    ASSERT_EQ(curves->limiter.size(), 1u);
    EXPECT_DOUBLE_EQ(curves->limiter[0].second, 1.5);
    ASSERT_EQ(curves->source.size(), 3u);
    EXPECT_TRUE(std::isinf(curves->source[0]) && curves->source[0] < 0) << "silence";
    EXPECT_DOUBLE_EQ(curves->output[2], -14.2);
    // Without the loudness gain mode there is no target and no ceiling.
    const auto plain =
        ParseLoudnessCurves("cantova-loudness 1\nintegrated -20 -19\ninterval 1\n-20 -19\n");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->target);
    EXPECT_FALSE(plain->ceiling);
}

TEST(LoudnessCurves, WhatIsNoSuchFileIsRefused) {
    const std::string good = kCurves;
    for (const std::string& text : {
             std::string(),
             "cantova-loudness 2\n" + good.substr(good.find('\n') + 1),
             good + "-20\n",                        // a point without its output level
             good + "limiter 1 2\n",                // a setting among the points
             good.substr(0, good.find("interval")), // no interval, no points
             std::string("cantova-loudness 1\ninterval 0\nintegrated -1 -1\n"),
             std::string("cantova-loudness 1\ninterval 1\nintegrated -1 x\n"),
             std::string("cantova-loudness 1\ninterval 1\nintegrated -1 -1\nlimiter 5 2\n"),
         }) {
        EXPECT_FALSE(ParseLoudnessCurves(text)) << text;
    }
}

TEST(LoudnessCurves, TheTranscoderNamesItsFileOnALine) {
    EXPECT_EQ(ParseCurvesLine("sound: curves: /home/a/Audio_Stream.Stream 1.mp3.loudness"),
              "/home/a/Audio_Stream.Stream 1.mp3.loudness");
    EXPECT_FALSE(ParseCurvesLine("sound: curves: "));
    EXPECT_FALSE(ParseCurvesLine("sound: output: sample peak -1 dBFS"));
}

} // namespace
