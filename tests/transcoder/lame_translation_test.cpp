#include "lame_translation.h"

#include <gtest/gtest.h>

namespace cantova {
namespace {

using Words = std::vector<std::string>;

LameTranslation translate(std::vector<LameSwitch> switches) {
    return translateLameSwitches(LameOptions{std::move(switches)});
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

} // namespace
} // namespace cantova
