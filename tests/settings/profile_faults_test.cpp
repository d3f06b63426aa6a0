// Loading a profile that is not what it claims to be: a pipe, a device, a huge file, a missing
// one, a name the dialog would not take, and values that would break the command line.

#include "jobs/fake_launcher.h"
#include "jobs/program_fixture.h"
#include "ui/state_access.h"
#include "ui/windows.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace {

using namespace cantova;
using namespace cantova::test;
namespace fs = std::filesystem;

class ProfileFaults : public ::testing::Test,
                      protected LauncherBase<FakeLauncher>,
                      public TestProgram {
protected:
    ProfileFaults() : TestProgram(launcher) {}

    // Loads the file through the menu; the one message it shows.
    std::string Load(const std::string& path) {
        messages.shown.clear();
        dialogs.Answer(path);
        windows.frmMain.MenuPrfAudioLoad.press();
        EXPECT_EQ(messages.shown.size(), 1u) << path;
        return messages.shown.empty() ? std::string() : messages.shown[0].text;
    }

    TempFolder temp;
    ui::StateAccess state{windows};
};

TEST_F(ProfileFaults, WhatIsNoProfileFileIsRefusedWithoutReadingIt) {
    const auto before = state.dump();
    const std::string pipe = temp.File("pipe.aud");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_NE(Load(pipe).find("not an ordinary file"), std::string::npos);
    fs::create_symlink("/dev/zero", temp.File("zero.aud"));
    EXPECT_NE(Load(temp.File("zero.aud")).find("not an ordinary file"), std::string::npos);
    // Sparse: two gigabytes that take no room on the disk.
    const std::string huge = temp.File("huge.aud");
    WriteText(huge, "[SETTING]\nCODEC=WAV\n");
    fs::resize_file(huge, 2ull << 30);
    EXPECT_NE(Load(huge).find("larger than a profile can be"), std::string::npos);
    EXPECT_NE(Load(temp.File("missing.aud")).find("could not be read"), std::string::npos);
    WriteText(temp.File("upper.AUD"), "[SETTING]\nCODEC=WAV\n");
    EXPECT_NE(Load(temp.File("upper.AUD")).find("Nothing was loaded"), std::string::npos);
    EXPECT_EQ(state.dump(), before);
}

TEST_F(ProfileFaults, ValuesThatWouldBreakTheCommandLineAreSkippedAndReported) {
    const std::string path = temp.File("injected.aud");
    WriteText(path, "[SETTING]\nPANEL=0\nCODEC=MP3\nBITRATE=5\nMODE=0\n"
                    "[LAME]\nBITRATE=128 ) -split( -start 1\nMINBIT=\"32\"\nMAXBIT=256\n"
                    "[DELAY]\nDELAYAUTO=0\nDELAYVALUE=-24\n");
    const std::string report = Load(path);
    EXPECT_NE(report.find("LAME/BITRATE"), std::string::npos) << report;
    EXPECT_EQ(report.find("LAME/MAXBIT"), std::string::npos) << report;
    EXPECT_EQ(windows.frmPanelAudio.txtBitRateMP3.text(), "128") << "kept its value";
    EXPECT_EQ(windows.frmPanelAudio.TxtMaxBitrateMP3.text(), "256");
    EXPECT_EQ(windows.frmPanelAudio.TxtMinBitrateMP3.text(), "32") << "one pair of quotes drops";
    EXPECT_EQ(windows.frmMain.TxtDelay.text(), "-24");
}

} // namespace
