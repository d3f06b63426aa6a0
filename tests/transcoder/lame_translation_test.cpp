#include "engines/lame_translation.h"

#include <gtest/gtest.h>

namespace cantova {
namespace {

using Words = std::vector<std::string>;

LameTranslation translate(std::vector<LameSwitch> switches, int sampleRate = 44100) {
    return translateLameSwitches(LameOptions{std::move(switches)}, sampleRate);
}

TEST(LameTranslation, PassesCurrentSwitchesUnchanged) {
    const LameTranslation result = translate({{"-m", {"j"}},
                                              {"--scale", {"0.9"}},
                                              {"-v", {}},
                                              {"--vbr-new", {}},
                                              {"-V", {"2"}},
                                              {"-b", {"96"}},
                                              {"-B", {"256"}},
                                              {"-p", {}},
                                              {"--lowpass", {"19"}}});
    EXPECT_EQ(result.arguments, (Words{"-m", "j", "--scale", "0.9", "-v", "--vbr-new", "-V", "2",
                                       "-b", "96", "-B", "256", "-p", "--lowpass", "19"}));
    EXPECT_TRUE(result.notes.empty());
}

TEST(LameTranslation, TurnsAltPresetsIntoPresetsWithALogLine) {
    const std::pair<LameSwitch, Words> cases[] = {
        {{"--alt-preset cbr", {"192"}}, {"--preset", "cbr", "192"}},
        {{"--alt-preset abr", {"160"}}, {"--preset", "160"}},
        {{"--alt-preset", {"standard"}}, {"--preset", "standard"}},
        {{"--alt-preset", {"fast", "extreme"}}, {"--preset", "fast", "extreme"}},
        {{"--preset r3mix", {}}, {"-V", "2"}}};
    for (const auto& [lameSwitch, expected] : cases) {
        const LameTranslation result = translate({lameSwitch});
        EXPECT_EQ(result.arguments, expected) << lameSwitch.name;
        EXPECT_EQ(result.notes.size(), 1u) << lameSwitch.name;
    }
}

TEST(LameTranslation, DropsSwitchesTheInstalledLameNoLongerHas) {
    const LameTranslation result =
        translate({{"--athtype", {"2"}}, {"--nspsytune", {}}, {"--ns-bass", {"-6"}}});
    EXPECT_TRUE(result.arguments.empty());
    ASSERT_EQ(result.notes.size(), 3u);
    EXPECT_NE(result.notes[0].find("--athtype 2"), std::string::npos);
}

TEST(LameTranslation, KeepsTheConstantBitrateWhenAMinimumFollows) {
    const LameTranslation cbr = translate({{"-b", {"128"}}, {"-b", {"64"}}});
    EXPECT_EQ(cbr.arguments, (Words{"-b", "128"}));
    EXPECT_EQ(cbr.notes.size(), 1u);
    const LameTranslation presetCbr = translate({{"--alt-preset cbr", {"192"}}, {"-b", {"64"}}});
    EXPECT_EQ(presetCbr.arguments, (Words{"--preset", "cbr", "192"}));
    // With a variable or average mode the -b is the minimum and goes to lame.
    const LameTranslation abr = translate({{"--abr", {"160"}}, {"-b", {"64"}}});
    EXPECT_EQ(abr.arguments, (Words{"--abr", "160", "-b", "64"}));
}

TEST(LameTranslation, TakesTheNearestConstantBitrateMp3CarriesAtTheSampleRate) {
    const LameTranslation lowered = translate({{"-b", {"192"}}}, 22050);
    EXPECT_EQ(lowered.arguments, (Words{"-b", "160"}));
    ASSERT_EQ(lowered.notes.size(), 1u);
    EXPECT_EQ(lowered.notes[0], "lame: MP3 cannot carry 192 kbit/s at 22050 Hz, encoded at 160 "
                                "kbit/s, the nearest bitrate it can");
    EXPECT_EQ(translate({{"--alt-preset cbr", {"320"}}}, 11025).arguments,
              (Words{"--preset", "cbr", "64"}));
    // Of two as near, the lower, as lame chooses itself.
    EXPECT_EQ(translate({{"-b", {"144"}}}, 48000).arguments, (Words{"-b", "128"}));
    EXPECT_EQ(translate({{"-b", {"150"}}}, 24000).arguments, (Words{"-b", "144"}));
    // Rates MP3 carries stay; so does one below what the rate carries, for which lame lowers
    // the sample rate; so does a minimum bitrate.
    EXPECT_TRUE(translate({{"-b", {"320"}}}, 48000).notes.empty());
    EXPECT_EQ(translate({{"-b", {"8"}}}, 44100).arguments, (Words{"-b", "8"}));
    EXPECT_EQ(translate({{"-v", {}}, {"-b", {"192"}}}, 22050).arguments,
              (Words{"-v", "-b", "192"}));
}

} // namespace
TEST(LameTranslation, KnowsWhichSwitchesKeepTheLoudness) {
    using Words = std::vector<std::string>;
    for (const Words& keeping :
         {Words{"--preset", "standard"}, Words{"-V", "4"}, Words{"--vbr-new", "-b", "32"},
          Words{"--preset", "cbr", "256"}, Words{"-b", "320"}, Words{"--abr", "256"},
          Words{"--preset", "insane"}}) {
        EXPECT_TRUE(lameKeepsLoudness(keeping)) << keeping[0] << " " << keeping[1];
    }
    for (const Words& moving :
         {Words{}, Words{"--preset", "cbr", "128"}, Words{"-b", "192"}, Words{"--abr", "192"},
          Words{"-V", "6"}, Words{"--preset", "160"}, Words{"-b", "128", "-b", "320"}}) {
        EXPECT_FALSE(lameKeepsLoudness(moving)) << (moving.empty() ? "" : moving[0]);
    }
}

} // namespace cantova
