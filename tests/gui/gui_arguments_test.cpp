#include "gui/display_check.h"
#include "gui/gui_arguments.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using cantova::ui::qt::GuiArguments;
using cantova::ui::qt::ParseGuiArguments;

// Runs the parse in a folder of its own, so that relative names have a known folder.
class GuiArgumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(temp.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    TempFolder temp;
    std::filesystem::path previous;
};

TEST_F(GuiArgumentsTest, AFileBecomesTheSourceWithItsFullPath) {
    EXPECT_EQ(ParseGuiArguments({}).source, std::nullopt);
    const GuiArguments relative = ParseGuiArguments({"VTS_01 DELAY -24ms.ac3"});
    EXPECT_EQ(relative.request, GuiArguments::Request::Run);
    EXPECT_EQ(relative.source, temp.File("VTS_01 DELAY -24ms.ac3"));
    EXPECT_EQ(ParseGuiArguments({"/rips/a.ac3"}).source, "/rips/a.ac3");
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(ParseGuiArguments({"--", "--help"}).source, temp.File("--help"));
    EXPECT_EQ(ParseGuiArguments({"--", "-24ms.ac3"}).source, temp.File("-24ms.ac3"));
}

TEST_F(GuiArgumentsTest, HelpAndVersionAreAnsweredAsTheyCome) {
    EXPECT_EQ(ParseGuiArguments({"--help"}).request, GuiArguments::Request::Help);
    EXPECT_EQ(ParseGuiArguments({"a.ac3", "--version", "b.ac3"}).request,
              GuiArguments::Request::Version);
    EXPECT_EQ(ParseGuiArguments({"--version", "--bogus"}).request, GuiArguments::Request::Version);
    EXPECT_TRUE(cantova::ui::qt::GuiHelpText().starts_with("Usage: cantova-gui [FILE]\n"));
}

TEST_F(GuiArgumentsTest, WhatCannotBeOneSourceFileIsRefused) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"-platform", "offscreen"}, {"--bogus"}, {"a.ac3", "b.ac3"}, {""}, {"--", ""}}) {
        const GuiArguments parsed = ParseGuiArguments(arguments);
        EXPECT_EQ(parsed.request, GuiArguments::Request::Refused) << arguments.front();
        EXPECT_FALSE(parsed.error.empty());
        EXPECT_EQ(parsed.source, std::nullopt);
    }
}

using cantova::ui::qt::MissingDisplay;

TEST(NoDisplay, IsSeenFromTheEnvironmentForTheDesktopPlatformsOnly) {
    EXPECT_EQ(MissingDisplay(nullptr, ":0", nullptr), std::nullopt);
    EXPECT_EQ(MissingDisplay(nullptr, nullptr, "wayland-0"), std::nullopt);
    EXPECT_EQ(MissingDisplay("offscreen", nullptr, nullptr), std::nullopt);
    EXPECT_EQ(MissingDisplay("vnc", nullptr, nullptr), std::nullopt);
    const std::optional<std::string> none = MissingDisplay(nullptr, "", nullptr);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->starts_with("no display was found (DISPLAY and WAYLAND_DISPLAY are not set)"))
        << *none;
    EXPECT_NE(none->find("xvfb-run"), std::string::npos);
    EXPECT_NE(none->find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
    EXPECT_TRUE(MissingDisplay("xcb", nullptr, "wayland-0"));
    EXPECT_TRUE(MissingDisplay("wayland", ":0", nullptr));
}

// The program itself, started with the given environment: its exit status and error output.
std::pair<int, std::string> RunGui(std::vector<std::string> environment) {
    const TempFolder temp;
    const std::string errors = temp.File("errors");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    environment.push_back("HOME=" + temp.Path().string());
    std::vector<char*> env;
    for (std::string& entry : environment) {
        env.push_back(entry.data());
    }
    env.push_back(nullptr);
    std::string program = CANTOVA_GUI;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) {
        return {-1, "not started"};
    }
    std::ostringstream text;
    text << std::ifstream(errors).rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), text.str()};
}

// Without a display the program says so and how to run without one, and ends with 1 instead of
// an abort: with no display named, and with one named that cannot be reached.
TEST(NoDisplay, TheProgramSaysHowToRunWithoutOne) {
    for (const std::vector<std::string>& environment :
         {std::vector<std::string>{}, std::vector<std::string>{"DISPLAY=:4242"},
          std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "DISPLAY=:4242"}}) {
        const auto [status, errors] = RunGui(environment);
        const std::string named = environment.empty() ? "none" : environment.back();
        EXPECT_EQ(status, 1) << named << "\n" << errors;
        EXPECT_NE(errors.find("cantova-gui: no display"), std::string::npos) << named << errors;
        EXPECT_NE(errors.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << errors;
    }
}

} // namespace
