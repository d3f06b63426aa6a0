// A person acting while a job runs: the window stays locked, its caption tells
// which job runs, and closing the program asks whether to stop the run.

#include "jobs/process_launcher.h"
#include "settings/file_dialogs.h"
#include "stand_in_services.h"
#include "ui/windows.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
namespace fs = std::filesystem;

// Runs the scripted action while "waiting" for each job, as the GUI's event loop would.
class InteractiveLauncher : public jobs::ProcessLauncher {
public:
    jobs::LaunchResult ShellAndWait(const std::string& commandLine,
                                    const jobs::OutputLineHandler& onOutputLine) override {
        commands.push_back(commandLine);
        for (const std::string& line : output) {
            onOutputLine(line);
            if (whileWaiting) {
                whileWaiting();
            }
        }
        if (whileWaiting) {
            whileWaiting();
        }
        return {true, terminated ? 143 : 0, 0, terminated, {}};
    }
    void TerminateRunning() override { terminated = true; }

    std::function<void()> whileWaiting;
    // What every job's transcoder writes to its standard output, one line after the other.
    std::vector<std::string> output;
    std::vector<std::string> commands;
    bool terminated = false;
};

class RunInterruption : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = temp_.Path() / "rips";
        fs::create_directories(folder_);
        const std::string source = (folder_ / "film.mpa").string();
        std::ofstream(source) << "x";
        main.Form_Load();
        dialogs.Answer(source);
        main.CmdBrowseStream1.press();
        main.CmdAddAudioJobList.press();
        main.CmdAddAudioJobList.press();
        main.CmdAddAudioJobList.press();
    }
    TempFolder temp_;
    fs::path folder_;
    settings::ScriptedFileDialogs dialogs;
    RecordedMessages messages;
    StandInLoader loader;
    InteractiveLauncher launcher;
    ui::Services services{dialogs, messages, loader, launcher};
    ui::Windows windows{services};
    ui::MainWindow& main = windows.frmMain;
};

TEST_F(RunInterruption, TheWindowShowsTheRunningJobAndIsLockedMeanwhile) {
    std::vector<std::string> captions;
    launcher.whileWaiting = [&] {
        captions.push_back(main.caption());
        EXPECT_FALSE(main.cmdStartEncode.enabled());
        EXPECT_FALSE(main.CmdBrowseStream1.enabled());
        EXPECT_FALSE(main.CmdAddAudioJobList.enabled());
        EXPECT_FALSE(main.CmdDelAudioJobList.enabled());
        EXPECT_FALSE(main.MenuPrfAudioLoad.enabled());
        main.cmdStartEncode.press(); // a second Start must not begin a nested run
    };
    main.cmdStartEncode.press();
    EXPECT_EQ(launcher.commands.size(), 3u);
    EXPECT_EQ(captions, (std::vector<std::string>{"Cantova Light GUI v1.4.8 - job 1 of 3",
                                                  "Cantova Light GUI v1.4.8 - job 2 of 3",
                                                  "Cantova Light GUI v1.4.8 - job 3 of 3"}));
    EXPECT_EQ(main.caption(), "Cantova Light GUI v1.4.8");
    EXPECT_TRUE(main.cmdStartEncode.enabled() && main.MenuPrfAudioLoad.enabled());
}

TEST_F(RunInterruption, TheCaptionFollowsTheTranscodersProgressLines) {
    launcher.output = {"starting", "progress 0%", "progress 45%", "progress 145%", "progress 100%"};
    std::vector<std::string> captions;
    launcher.whileWaiting = [&] { captions.push_back(main.caption()); };
    main.cmdStartEncode.press();
    const std::string title = "Cantova Light GUI v1.4.8";
    ASSERT_EQ(captions.size(), 18u);
    EXPECT_EQ(captions[0], title + " - job 1 of 3") << "a line that is no progress changes nothing";
    EXPECT_EQ(captions[2], title + " - job 1 of 3 - 45%");
    EXPECT_EQ(captions[3], title + " - job 1 of 3 - 45%") << "an impossible percentage is ignored";
    EXPECT_EQ(captions[5], title + " - job 1 of 3 - 100%");
    EXPECT_EQ(captions[6], title + " - job 2 of 3") << "a new job starts without a percentage";
    EXPECT_EQ(captions[17], title + " - job 3 of 3 - 100%");
    EXPECT_EQ(main.caption(), title);
}

TEST_F(RunInterruption, ExitDuringARunStopsItOnlyWhenThePersonSaysSo) {
    launcher.whileWaiting = [&] { main.cmdExit.press(); };
    main.cmdStartEncode.press();
    EXPECT_EQ(messages.asked.size(), 3u) << "asked once for each job";
    EXPECT_EQ(launcher.commands.size(), 3u);
    EXPECT_FALSE(launcher.terminated);
    EXPECT_FALSE(windows.program.ended);
}

TEST_F(RunInterruption, StoppingTheRunEndsTheProgramAfterTheCleanUp) {
    messages.answer = true;
    launcher.whileWaiting = [&] { main.cmdExit.press(); };
    main.cmdStartEncode.press();
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].caption, "Exit");
    EXPECT_EQ(launcher.commands.size(), 1u) << "no further job starts";
    EXPECT_TRUE(launcher.terminated);
    EXPECT_TRUE(windows.program.ended);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("Job 1 (film.mpa): stopped before it finished"),
              std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
        << "only the source is left";
}

} // namespace
