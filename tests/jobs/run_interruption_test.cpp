// A person acting while a job runs: the window stays locked, its caption tells
// which job runs, and closing the program stops the run first.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
namespace fs = std::filesystem;

class RunInterruption : public ::testing::Test,
                        protected LauncherBase<FakeLauncher>,
                        public TestProgram {
protected:
    RunInterruption() : TestProgram(launcher) {}

    void SetUp() override {
        folder_ = temp_.Path() / "rips";
        fs::create_directories(folder_);
        const std::string source = (folder_ / "film.mpa").string();
        std::ofstream(source) << "x";
        dialogs.Answer(source);
        main.CmdBrowseStream1.press();
        main.CmdAddAudioJobList.press();
        main.CmdAddAudioJobList.press();
        main.CmdAddAudioJobList.press();
    }
    TempFolder temp_;
    fs::path folder_;
};

TEST_F(RunInterruption, TheWindowShowsTheRunningJobAndIsLockedMeanwhile) {
    std::vector<std::string> captions;
    main.cmdStartEncode.press();
    launcher.endAll([&] {
        captions.push_back(main.caption());
        EXPECT_FALSE(main.cmdStartEncode.enabled());
        EXPECT_FALSE(main.CmdBrowseStream1.enabled());
        EXPECT_FALSE(main.CmdAddAudioJobList.enabled());
        EXPECT_FALSE(main.CmdClipboard.enabled());
        EXPECT_FALSE(main.CmdDelAudioJobList.enabled());
        EXPECT_FALSE(main.MenuPrfAudioLoad.enabled());
        program.runner.Start(); // a second Start must not begin another run
    });
    EXPECT_EQ(launcher.processes.size(), 3u);
    EXPECT_EQ(captions, (std::vector<std::string>{"Cantova Light GUI v1.4.8 - job 1 of 3",
                                                  "Cantova Light GUI v1.4.8 - job 2 of 3",
                                                  "Cantova Light GUI v1.4.8 - job 3 of 3"}));
    EXPECT_EQ(main.caption(), "Cantova Light GUI v1.4.8");
    EXPECT_TRUE(main.cmdStartEncode.enabled() && main.MenuPrfAudioLoad.enabled() &&
                main.CmdClipboard.enabled());
}

TEST_F(RunInterruption, TheCaptionFollowsTheTranscodersProgressLines) {
    const std::string title = "Cantova Light GUI v1.4.8";
    main.cmdStartEncode.press();
    std::vector<std::string> captions;
    launcher.endAll([&] {
        captions.push_back(main.caption());
        for (const std::string line :
             {"starting", "progress 0%", "progress 45%", "progress 145%", "progress 100%"}) {
            launcher.writeLine(launcher.running().front(), line);
            captions.push_back(main.caption());
        }
    });
    ASSERT_EQ(captions.size(), 18u);
    EXPECT_EQ(captions[1], title + " - job 1 of 3") << "a line that is no progress changes nothing";
    EXPECT_EQ(captions[3], title + " - job 1 of 3 - 45%");
    EXPECT_EQ(captions[4], title + " - job 1 of 3 - 45%") << "an impossible percentage is ignored";
    EXPECT_EQ(captions[5], title + " - job 1 of 3 - 100%");
    EXPECT_EQ(captions[6], title + " - job 2 of 3") << "a new job starts without a percentage";
    EXPECT_EQ(captions[17], title + " - job 3 of 3 - 100%");
    EXPECT_EQ(main.caption(), title);
}

// Nobody to ask (and no folder to keep the list in): Exit stops the run, and the program ends once
// the run has.
TEST_F(RunInterruption, ExitWithNobodyToAskStopsTheRunAndEndsTheProgramAfterIt) {
    main.cmdStartEncode.press();
    main.cmdExit.press();
    EXPECT_TRUE(messages.asked.empty());
    ASSERT_EQ(launcher.processes.size(), 1u);
    EXPECT_TRUE(launcher.processes[0].terminated);
    EXPECT_FALSE(windows.program.ended) << "not before the run has ended";
    launcher.end(1);
    EXPECT_EQ(launcher.processes.size(), 1u) << "no further job starts";
    EXPECT_TRUE(windows.program.ended);
    EXPECT_TRUE(messages.shown.empty()) << "no report at an exit";
    EXPECT_EQ(program.queue.count(), 3) << "for the end of the program to discard";
}

} // namespace
