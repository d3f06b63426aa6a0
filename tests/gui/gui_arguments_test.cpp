#include "gui/gui_arguments.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
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

} // namespace
