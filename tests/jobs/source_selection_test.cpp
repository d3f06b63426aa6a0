#include "fake_launcher.h"
#include "jobs/ac3_query.h"
#include "program_fixture.h"
#include "ui/state_access.h"
#include "ui/windows.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cantova::test;

class SourceSelection : public ::testing::Test,
                        protected LauncherBase<FakeLauncher>,
                        public TestProgram {
protected:
    SourceSelection() : TestProgram(launcher) { gProbe = &probe; }
    ~SourceSelection() override { gProbe = nullptr; }

    void Select(const std::string& path) {
        dialogs.Answer(path);
        windows.frmMain.CmdBrowseStream1.press();
    }
    std::string Read(const std::string& name) {
        std::string error;
        auto value = state.read(name, error);
        EXPECT_TRUE(value) << error;
        return value.value_or("");
    }

    ProbeScript probe;
    cantova::ui::StateAccess state{windows};
};

TEST_F(SourceSelection, AnAc3SourceIsProbedAndShown) {
    Select("/rips/VTS_01 T01 DELAY -24ms.Ac3");
    EXPECT_EQ(Read("TxtStreamAudio.Text"), "/rips/VTS_01 T01 DELAY -24ms.Ac3");
    EXPECT_EQ(Read("LbStream1Info.Caption"),
              "Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz");
    EXPECT_EQ(Read("OptAudioCodec(0).Caption"), "AC3 448 Kbps");
    EXPECT_EQ(Read("OptAudioCodec(0).Enabled"), "1");
    EXPECT_EQ(Read("BitRateAC3"), "448");
    EXPECT_EQ(Read("Ac3Channels"), "5");
    EXPECT_EQ(Read("Ac3Frequency"), "48000");
    EXPECT_EQ(Read("TxtDelay.Text"), "-24");
    for (const char* button :
         {"CmdAddAudioJobList", "CmdClipboard", "CmdDelAudioJobList", "cmdStartEncode"}) {
        EXPECT_EQ(Read(std::string(button) + ".Enabled"), "1") << button;
    }
    EXPECT_EQ(loader.opened, std::vector<std::string>{"libtracklens.so.1"});
    EXPECT_EQ(loader.looked, std::vector<std::string>{"GetAc3Info"});
    EXPECT_EQ(loader.open, 0) << "the library is released after the call";
    EXPECT_EQ(probe.seenPath, "/rips/VTS_01 T01 DELAY -24ms.Ac3");
    EXPECT_EQ(probe.seenRecord.Bitrate, 0);
    EXPECT_EQ(probe.seenRecord.Channels, 0);
    EXPECT_EQ(probe.seenRecord.SampleRate, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SourceSelection, AnotherSourceAfterAnAc3SourceKeepsTheOldCaption) {
    Select("/rips/a.ac3");
    Select("/rips/b.ac3.mpa");
    EXPECT_EQ(Read("OptAudioCodec(0).Enabled"), "0");
    EXPECT_EQ(Read("OptAudioCodec(0).Caption"), "AC3 448 Kbps");
    EXPECT_EQ(Read("BitRateAC3"), "448");
    EXPECT_EQ(Read("Ac3Channels"), "0");
    EXPECT_EQ(Read("LbStream1Info.Caption"), "");
    EXPECT_EQ(loader.opened.size(), 1u);
}

TEST_F(SourceSelection, TheAdvancedButtonFollowsTheSourceWhenWavIsChosen) {
    windows.frmMain.OptAudioCodec[3].setValue(true);
    Select("/rips/a.mpa");
    EXPECT_EQ(Read("CmdAdvancedAudio.Enabled"), "0");
    Select("/rips/a.ac3");
    EXPECT_EQ(Read("CmdAdvancedAudio.Enabled"), "1");
}

TEST_F(SourceSelection, AMissingLibraryOrExportIsReportedAndShowsZeros) {
    for (bool libraryPresent : {false, true}) {
        loader.hasLibrary = libraryPresent;
        loader.hasSymbol = false;
        messages.shown.clear();
        Select("/rips/a.ac3");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  libraryPresent
                      ? "Can't find the getac3info function in the libtracklens.so.1 file"
                      : "Can't find the libtracklens.so.1 file");
        EXPECT_EQ(messages.shown[0].caption, "Error");
        EXPECT_EQ(messages.shown[0].icon, cantova::ui::MessageIcon::Exclamation);
        EXPECT_EQ(Read("OptAudioCodec(0).Caption"), "AC3 0 Kbps");
        EXPECT_EQ(Read("LbStream1Info.Caption"),
                  "Bitrate : 0 Kbps   Channels : 0   Frequency : 0 Hz");
        EXPECT_EQ(loader.open, 0);
    }
}

TEST_F(SourceSelection, ACancelledDialogChangesNothing) {
    Select("/rips/a DELAY 30ms.ac3");
    windows.frmMain.LstJobAudio(0).addItem("a.ac3");
    windows.frmMain.LstJobAudio(1).addItem("$/rips/a.stream1.aud$/rips/a.ac3$x$0$128$");
    const auto before = state.dump();
    Select("");
    EXPECT_EQ(state.dump(), before);
    EXPECT_EQ(loader.opened.size(), 1u);
}

TEST_F(SourceSelection, ANonAc3SourceTakesTheAc3TargetAwayAsAClickOnMp3Would) {
    Select("/rips/a.ac3");
    windows.frmMain.OptAudioCodec[0].setValue(true);
    ASSERT_EQ(Read("CmbBitrateAudio.Text"), "448   Kbt/s");
    Select("/rips/b DELAY 12ms.mpa");
    EXPECT_EQ(Read("OptAudioCodec(0).Enabled"), "0");
    EXPECT_EQ(Read("OptAudioCodec(0).Value"), "0");
    EXPECT_EQ(Read("OptAudioCodec(1).Value"), "1");
    // The MP3 reaction filled its own lists; the delay still follows the new name.
    EXPECT_EQ(Read("CmbBitrateAudio.ListCount"), "11");
    EXPECT_EQ(Read("CmbMP3Mode.Enabled"), "1");
    EXPECT_EQ(Read("TxtDelay.Text"), "12");
}

TEST_F(SourceSelection, APathTheCommandLineCannotCarryChangesNothing) {
    Select("/rips/a DELAY 5ms.ac3");
    const auto before = state.dump();
    for (const std::string path : {"/rips/say \"hi\".ac3", "/rips/odd.ac3\\"}) {
        messages.shown.clear();
        Select(path);
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
        EXPECT_EQ(state.dump(), before) << path;
    }
    EXPECT_EQ(loader.opened.size(), 1u);
}

TEST(DlopenLibraryLoader, FindsASystemLibraryAndRefusesAMissingOne) {
    cantova::jobs::DlopenLibraryLoader loader;
    EXPECT_EQ(loader.Open("libno-such-library-here.so"), nullptr);
    LibraryLoader::Handle math = loader.Open("libm.so.6");
    ASSERT_NE(math, nullptr);
    EXPECT_NE(loader.FindSymbol(math, "cos"), nullptr);
    EXPECT_EQ(loader.FindSymbol(math, "no_such_symbol_here"), nullptr);
    loader.Close(math);
}

// The media library and the many it loads stay in memory once loaded, so that the next source
// does not pay their loading again (nor lose what their start-up allocated).
TEST(DlopenLibraryLoader, KeepsALibraryLoadedAfterItsHandleIsClosed) {
    const auto loaded = [] {
        void* library = dlopen(cantova::jobs::kTracklensLibrary, RTLD_NOW | RTLD_NOLOAD);
        if (library != nullptr) {
            dlclose(library);
        }
        return library != nullptr;
    };
    ASSERT_FALSE(loaded()) << "the test wants a process that has not loaded it yet";
    cantova::jobs::DlopenLibraryLoader loader;
    LibraryLoader::Handle tracklens = loader.Open(cantova::jobs::kTracklensLibrary);
    ASSERT_NE(tracklens, nullptr);
    loader.Close(tracklens);
    EXPECT_TRUE(loaded());
}

} // namespace
