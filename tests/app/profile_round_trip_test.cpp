// Profiles written and read back through the batch driver: every job kind and
// codec comes back to the whole state it was saved from.

#include "app/batch_driver.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Steps = std::vector<std::string>;

struct ProfileCase {
    const char* name;
    bool ac3Source;
    Steps settings;
    // Fields that loading leaves enabled although the saved window had them disabled: the
    // reactions that run while loading take another path through the panel than the person did.
    // Their values and their check boxes come back as saved.
    std::vector<std::string> enabledAfterLoading = {};
};

// Values away from the defaults in the groups every kind stores.
const Steps kCommonChanges{
    "set", "ChkUseBoost.Value=1",          "set", "TxtBoostFactor.Text=3.5",
    "set", "CmbCompModeBoost.ListIndex=2", "set", "TxtDelay.Text=-42",
    "set", "ChkSplitStartPoint.Value=1",   "set", "TxtStartPoint.Text=7.25",
    "set", "ChkSplitEndPoint.Value=1",     "set", "TxtEndPoint.Text=99",
    "set", "ChkDownSample.Value=1",        "set", "CmbSampleRate.ListIndex=2",
    "set", "CmbPriority.ListIndex=2"};

const ProfileCase kCases[] = {
    {"Kind0Mp3",
     false,
     {"set", "OptAudioCodec(1).Value=1", "set", "CmbMP3Mode.ListIndex=1", "set",
      "CmbBitrateAudio.ListIndex=7", "set", "ChkLowPassMP3.Value=1", "set",
      "CmbLowPassMP3.ListIndex=2", "set", "ChkErrorProtection.Value=1"}},
    {"Kind1Mp3FromAc3",
     true,
     {"set", "OptAudioCodec(1).Value=1", "set", "CmbMP3Mode.ListIndex=2", "set",
      "CmbBitrateAudio.ListIndex=7", "set", "CmbStereoMode.ListIndex=1", "set",
      "CmbDynaComp.ListIndex=2", "set", "TxtLFEToLR.Text=-6db", "set", "ChkUseALtPreset.Value=0",
      "set", "CmbQualityVBRMP3.ListIndex=4"},
     {"CmbLowPassMP3", "CmbModeAudio", "CmbQualityVBRMP3", "TxtMinBitrateMP3"}},
    {"Kind2OggFromAc3",
     true,
     {"set", "OptAudioCodec(2).Value=1", "set", "CmbBitrateAudio.ListIndex=3", "set",
      "CmbQualityOGG.Text=0.456", "set", "ChkUseGain.Value=1", "set", "TxtGainAzid.Text=3"}},
    {"Kind3Ac3FromAc3",
     true,
     {"set", "OptAudioCodec(0).Value=1", "set", "CmbBitrateAudio.ListIndex=2", "set",
      "ChkNormalise.Value=1"}},
    {"Kind4Ogg",
     false,
     {"set", "OptAudioCodec(2).Value=1", "set", "CmbOGGMode.ListIndex=0", "set",
      "CmbBitrateAudio.ListIndex=8", "set", "CmbGainMode.ListIndex=4", "set",
      "TxtLoudnessTarget.Text=-16", "set", "TxtTruePeakCeiling.Text=-1.5"}},
    {"Kind5WavFromAc3",
     true,
     {"set", "OptAudioCodec(3).Value=1", "set", "CmbWAVmode.ListIndex=2", "set",
      "ChkUseOutPutModeAzid.Value=0", "set", "CmbGainMode.ListIndex=2", "set",
      "TxtLoudnessTarget.ListIndex=3", "set", "TxtTruePeakCeiling.Text=-3"}},
    {"Kind6Wav", false, {"set", "OptAudioCodec(3).Value=1", "set", "CmbWAVmode.ListIndex=1"}},
    {"Kind7Opus",
     false,
     {"set", "OptAudioCodec(4).Value=1", "set", "CmbBitrateAudio.ListIndex=9", "set",
      "CmbOpusMode.ListIndex=1", "set", "CmbGainMode.ListIndex=3"}},
    {"Kind8OpusFromAc3",
     true,
     {"set", "OptAudioCodec(4).Value=1", "set", "CmbBitrateAudio.ListIndex=0", "set",
      "CmbOpusMode.ListIndex=2", "set", "ChkOpusStereo.Value=1", "set",
      "CmbStereoMode.ListIndex=2"}},
    {"Kind9Flac",
     false,
     {"set", "OptAudioCodec(5).Value=1", "set", "CmbFlacLevel.ListIndex=8", "set",
      "CmbGainMode.ListIndex=2", "set", "TxtLoudnessTarget.Text=-18"}},
    {"Kind10FlacFromAc3",
     true,
     {"set", "OptAudioCodec(5).Value=1", "set", "CmbFlacLevel.ListIndex=0", "set",
      "ChkUseLFEtoLR.Value=0", "set", "ChkDialogNormalise.Value=1"}},
};

// The lines of the first dump that the second lacks, and the other way round.
std::string Differences(const std::string& first, const std::string& second) {
    const auto lines = [](const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        std::sort(result.begin(), result.end());
        return result;
    };
    const std::vector<std::string> a = lines(first), b = lines(second);
    std::vector<std::string> onlyA, onlyB;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
    std::string report;
    for (const std::string& line : onlyA) {
        report += "- " + line + "\n";
    }
    for (const std::string& line : onlyB) {
        report += "+ " + line + "\n";
    }
    return report;
}

class ProfileRoundTrip : public ::testing::TestWithParam<ProfileCase> {
protected:
    void SetUp() override {
        folder_ = temp_.Path() / "profiles";
        fs::create_directories(folder_);
        // Not an AC3 stream: the source only decides which target choices are offered.
        std::ofstream(Source(true)) << "x";
        std::ofstream(Source(false)) << "x";
    }

    std::string Source(bool ac3) const { return (folder_ / (ac3 ? "a.ac3" : "a.mpa")).string(); }
    std::string Profile() const { return (folder_ / "preset").string(); }

    // Everything printed after the line that the source selection may print.
    static std::string Run(Steps steps) {
        std::ostringstream out, err;
        cantova::app::BatchDriver driver(out, err);
        EXPECT_EQ(driver.run(steps), 0) << err.str();
        const std::string text = out.str();
        return text.substr(text.find("frmMain."));
    }

    TempFolder temp_;
    fs::path folder_;
};

TEST_P(ProfileRoundTrip, GivesBackTheWholeState) {
    const ProfileCase& c = GetParam();
    Steps saving{"select", Source(c.ac3Source)};
    saving.insert(saving.end(), c.settings.begin(), c.settings.end());
    saving.insert(saving.end(), kCommonChanges.begin(), kCommonChanges.end());
    saving.insert(saving.end(), {"save", Profile(), "dump"});
    const std::string saved = Run(saving);
    EXPECT_NE(saved.find("frmMain.TxtStartPoint.Text=7.25\n"), std::string::npos);

    // A fresh session on the same source, where everything starts from the defaults.
    const std::string loaded =
        Run({"select", Source(c.ac3Source), "load", Profile() + ".aud", "dump"});
    std::string expected;
    for (const std::string& name : c.enabledAfterLoading) {
        expected += "- frmPanelAudio." + name + ".Enabled=1\n";
    }
    for (const std::string& name : c.enabledAfterLoading) {
        expected += "+ frmPanelAudio." + name + ".Enabled=0\n";
    }
    EXPECT_EQ(Differences(loaded, saved), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryKindAndCodec, ProfileRoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> Sections(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> sections;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
        }
    }
    return sections;
}

std::string Value(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "(missing)";
}

class ProfileFile : public ProfileRoundTrip {};

TEST_F(ProfileFile, SectionsFollowTheKindAndCodec) {
    Run({"select", Source(false), "save", Profile(), "dump"});
    EXPECT_EQ(Sections(Profile() + ".aud"),
              (std::vector<std::string>{"[SETTING]", "[LAME]", "[BOOST]", "[DELAY]",
                                        "[DOWNSAMPLING]", "[SPLIT]", "[GAIN]", "[PRIORITY]"}));
    EXPECT_EQ(Value(Profile() + ".aud", "BITRATE"), "5") << "the list position of 128 kbit/s";

    Run({"select", Source(false), "set", "OptAudioCodec(3).Value=1", "save", Profile(), "dump"});
    EXPECT_EQ(Sections(Profile() + ".aud"),
              (std::vector<std::string>{"[SETTING]", "[WAVMODE]", "[BOOST]", "[DELAY]",
                                        "[DOWNSAMPLING]", "[SPLIT]", "[GAIN]", "[PRIORITY]"}));
    EXPECT_EQ(Value(Profile() + ".aud", "PANEL"), "6");

    Run({"select", Source(true), "set", "OptAudioCodec(3).Value=1", "save", Profile(), "dump"});
    EXPECT_EQ(Sections(Profile() + ".aud")[1], "[AZID]");

    Run({"select", Source(false), "set", "OptAudioCodec(4).Value=1", "save", Profile(), "dump"});
    EXPECT_EQ(Sections(Profile() + ".aud"),
              (std::vector<std::string>{"[SETTING]", "[OPUS]", "[BOOST]", "[DELAY]",
                                        "[DOWNSAMPLING]", "[SPLIT]", "[GAIN]", "[PRIORITY]"}));
    EXPECT_EQ(Value(Profile() + ".aud", "PANEL"), "7");
    EXPECT_EQ(Value(Profile() + ".aud", "CODEC"), "OPUS");

    Run({"select", Source(true), "set", "OptAudioCodec(5).Value=1", "save", Profile(), "dump"});
    EXPECT_EQ(Sections(Profile() + ".aud"),
              (std::vector<std::string>{"[SETTING]", "[AZID]", "[FLAC]", "[BOOST]", "[DELAY]",
                                        "[DOWNSAMPLING]", "[SPLIT]", "[GAIN]", "[PRIORITY]"}));
    EXPECT_EQ(Value(Profile() + ".aud", "PANEL"), "10");
    EXPECT_EQ(Value(Profile() + ".aud", "LEVEL"), "5");
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A profile of one of the first four targets holds no key of the Opus and FLAC sections, and
// loading it and saving again gives the same bytes, whatever the Opus and FLAC settings were.
TEST_F(ProfileFile, ProfilesOfTheFirstTargetsReadAndWriteAsBefore) {
    for (const char* codec : {"0", "1", "2", "3"}) {
        const std::string first = Profile() + codec, second = Profile() + codec + "again";
        Run({"select", Source(true), "set", "OptAudioCodec(" + std::string(codec) + ").Value=1",
             "save", first, "dump"});
        const std::string text = FileText(first + ".aud");
        for (const char* key : {"[OPUS]", "[FLAC]", "\nSTEREO=", "\nLEVEL="}) {
            EXPECT_EQ(text.find(key), std::string::npos) << codec << " " << key;
        }
        Run({"select", Source(true), "set", "OptAudioCodec(4).Value=1", "set",
             "ChkOpusStereo.Value=1", "set", "CmbFlacLevel.ListIndex=1", "load", first + ".aud",
             "save", second, "dump"});
        EXPECT_EQ(FileText(second + ".aud"), text) << codec;
    }
}

// Profiles written before the loudness settings existed lack their keys: loading one gives the
// defaults, with nothing reported missing; a text the transcoder cannot read is skipped.
TEST_F(ProfileFile, LoudnessKeysMissingFromOlderProfilesGiveTheDefaults) {
    Run({"select", Source(false), "save", Profile(), "dump"});
    EXPECT_EQ(Value(Profile() + ".aud", "LOUDNESSTARGET"), "-23");
    EXPECT_EQ(Value(Profile() + ".aud", "TRUEPEAKCEILING"), "-1");
    std::ifstream in(Profile() + ".aud");
    std::string older, unreadable;
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("LOUDNESSTARGET=") && !line.starts_with("TRUEPEAKCEILING=")) {
            older += line + "\n";
        }
        unreadable += line.starts_with("TRUEPEAKCEILING=") ? "TRUEPEAKCEILING=-1\v\n" : line + "\n";
    }
    std::ofstream(Profile() + ".aud") << older;
    std::ofstream(Profile() + "2.aud") << unreadable;

    const std::string loaded =
        Run({"select", Source(false), "set", "TxtLoudnessTarget.Text=-14", "set",
             "TxtTruePeakCeiling.Text=-5", "load", Profile() + ".aud", "dump"});
    EXPECT_EQ(loaded.find("message:"), std::string::npos) << loaded;
    EXPECT_NE(loaded.find("frmMain.TxtLoudnessTarget.Text=-23\n"), std::string::npos);
    EXPECT_NE(loaded.find("frmMain.TxtTruePeakCeiling.Text=-1\n"), std::string::npos);

    std::ostringstream out, err;
    cantova::app::BatchDriver driver(out, err);
    driver.run({"select", Source(false), "load", Profile() + "2.aud", "dump"});
    EXPECT_NE(out.str().find("GAIN/TRUEPEAKCEILING"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("frmMain.TxtTruePeakCeiling.Text=-1\n"), std::string::npos);
}

TEST_F(ProfileFile, OnlyALowerCaseExtensionIsKept) {
    Run({"select", Source(false), "save", Profile() + ".AUD", "save", Profile() + "2.aud", "dump"});
    EXPECT_TRUE(fs::exists(Profile() + ".AUD.aud"));
    EXPECT_TRUE(fs::exists(Profile() + "2.aud"));
    EXPECT_FALSE(fs::exists(Profile() + "2.aud.aud"));
}

TEST_F(ProfileFile, AStoredSplitStartSurvivesTheTickThatResetsIt) {
    Run({"select", Source(false), "set", "ChkSplitStartPoint.Value=1", "set",
         "TxtStartPoint.Text=12.5", "save", Profile(), "dump"});
    const std::string loaded = Run({"select", Source(false), "load", Profile() + ".aud", "dump"});
    EXPECT_NE(loaded.find("frmMain.TxtStartPoint.Text=12.5\n"), std::string::npos);
    EXPECT_NE(loaded.find("frmMain.ChkSplitStartPoint.Value=1\n"), std::string::npos);
}

} // namespace
