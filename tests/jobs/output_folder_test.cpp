// The output folder: empty, every name and file is what it always was; set, the outputs and the
// job's settings file go there and the folder travels with the job's settings.

#include "app/program.h"
#include "jobs/job_command_line.h"
#include "jobs/spawn_launcher.h"
#include "settings/audio_profile.h"
#include "stand_in_services.h"
#include "ui/state_access.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using namespace cantova;
namespace fs = std::filesystem;

class OutputFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp_.Path() / "rips");
        fs::create_directories(temp_.Path() / "out");
        WriteText(source_, "stream");
        ASSERT_TRUE(program_.sources.Select(source_));
    }
    const jobs::Job& Add() {
        program_.windows.frmMain.CmdAddAudioJobList_Click();
        return program_.queue.at(program_.queue.count() - 1);
    }

    TempFolder temp_;
    const std::string source_ = temp_.File("rips/film.mpa");
    const std::string out_ = temp_.File("out");
    settings::ScriptedFileDialogs dialogs_;
    test::RecordedMessages messages_;
    std::ostringstream printed_;
    jobs::DryRunLauncher launcher_{printed_};
    app::Program program_{{dialogs_, messages_, launcher_}};
};

TEST_F(OutputFolder, EmptyItKeepsEverythingBesideTheSourceAsBefore) {
    const jobs::Job& job = Add();
    EXPECT_EQ(job.outputArgument, "\"" + temp_.File("rips/Stream1.mp3") + "\"");
    EXPECT_EQ(job.settingsFile, temp_.File("rips/film.stream1.aud"));
    EXPECT_EQ(ReadText(job.settingsFile).find("[OUTPUT]"), std::string::npos);
}

TEST_F(OutputFolder, SetItTakesTheOutputAndTheSettingsFileAndTravelsWithTheJob) {
    program_.windows.frmMain.TxtOutputFolder.setText(out_ + "//");
    const jobs::Job job = Add();
    EXPECT_EQ(job.outputArgument, "\"" + out_ + "/Stream1.mp3\"");
    EXPECT_EQ(job.settingsFile, out_ + "/film.stream1.aud");

    // A job's settings put the folder back, and settings without one clear it.
    program_.windows.frmMain.TxtOutputFolder.setText("");
    settings::AudioProfileLoad load =
        settings::LoadAudioProfile(program_.windows, job.settingsFile);
    EXPECT_EQ(program_.windows.frmMain.TxtOutputFolder.text(), out_ + "//");
    program_.windows.frmMain.TxtOutputFolder.setText("");
    const jobs::Job& beside = Add();
    program_.windows.frmMain.TxtOutputFolder.setText(out_);
    load = settings::LoadAudioProfile(program_.windows, beside.settingsFile);
    EXPECT_EQ(program_.windows.frmMain.TxtOutputFolder.text(), "");
    EXPECT_TRUE(load.skippedKeys.empty()) << "older files simply have no folder";
}

TEST_F(OutputFolder, AFolderThatCannotTakeTheFilesIsRefusedByName) {
    for (const std::string& folder : {temp_.File("missing"), source_}) {
        program_.windows.frmMain.TxtOutputFolder.setText(folder);
        messages_.shown.clear();
        program_.windows.frmMain.CmdAddAudioJobList_Click();
        EXPECT_EQ(program_.queue.count(), 0) << folder;
        ASSERT_EQ(messages_.shown.size(), 1u) << folder;
        EXPECT_NE(messages_.shown[0].text.find("(the setting \"Output Folder\", TxtOutputFolder)"),
                  std::string::npos)
            << messages_.shown[0].text;
    }
}

// The folder a job was added with is the folder it runs with, from wherever the list is read.
TEST_F(OutputFolder, ARelativeFolderIsMadeAbsoluteAtTheAdd) {
    const fs::path before = fs::current_path();
    fs::current_path(temp_.Path());
    program_.windows.frmMain.TxtOutputFolder.setText("./out/");
    const jobs::Job job = Add();
    fs::current_path(before);
    EXPECT_EQ(program_.windows.frmMain.TxtOutputFolder.text(), out_);
    EXPECT_EQ(job.outputArgument, "\"" + out_ + "/Stream1.mp3\"");
    EXPECT_EQ(job.settingsFile, out_ + "/film.stream1.aud");
}

// Named after the source, the outputs of jobs in one folder never meet: a name taken by a job of
// the list or by a file on disk gets the next free number.
TEST_F(OutputFolder, OutputsNamedAfterTheSourceTakeTheNextFreeName) {
    ui::MainWindow& main = program_.windows.frmMain;
    const std::string source = temp_.File("rips/VTS_01 T80 DELAY -24ms.mpa");
    WriteText(source, "stream");
    ASSERT_TRUE(program_.sources.Select(source));
    const auto dumpNames = [this] {
        std::string names;
        for (const std::string& line : ui::StateAccess(program_.windows).dump()) {
            names += line.find("ChkOutputNameFromSource") != std::string::npos ? line + "\n" : "";
        }
        return names;
    };
    EXPECT_EQ(dumpNames(), "") << "the dump is as before while it is off";
    EXPECT_EQ(Add().outputArgument, "\"" + temp_.File("rips/Stream1.mp3") + "\"");

    main.ChkOutputNameFromSource.setValue(1);
    EXPECT_NE(dumpNames().find("ChkOutputNameFromSource.Value=1"), std::string::npos);
    const std::string named = temp_.File("rips/VTS_01 T80 DELAY -24ms");
    EXPECT_EQ(Add().outputArgument, "\"" + named + ".mp3\"");
    EXPECT_EQ(Add().outputArgument, "\"" + named + " (2).mp3\"") << "taken by the job before";
    WriteText(named + " (3).mp3", "an earlier run's output");
    EXPECT_EQ(Add().outputArgument, "\"" + named + " (4).mp3\"") << "taken on disk";
    // A WAV job may write six mono files named after its output.
    main.OptAudioCodec[static_cast<int>(ui::Codec::Wav)].setValue(true);
    WriteText(named + "_FL.wav", "an earlier run's front left");
    EXPECT_EQ(Add().outputArgument.find("\"" + named + " (2).wav"), 0u);
    // The name reaches the command line whole.
    const std::optional<std::string> command =
        jobs::CommandLineOfJob(program_.queue.at(3), "Cantova");
    ASSERT_TRUE(command);
    EXPECT_NE(command->find("-output \"" + named + " (4).mp3\""), std::string::npos) << *command;
}

} // namespace
