// Runs under faults and hostile input: what a run refuses before it starts anything, what it asks
// before it replaces a file, and what it reports about jobs that did not finish.

#include "job_run_fixture.h"

#include "jobs/job_files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;

class RunFaults : public JobRun {
protected:
    std::string Settings(int job) const {
        return jobs::ParseJobRecord(main.LstJobAudio(1).list(job)).settingsFile;
    }
    std::vector<Arguments> Calls() const { return RecordedCalls(base_ / "calls"); }
    // The value of the argument after the switch in a recorded call.
    static std::string After(const Arguments& call, const std::string& word) {
        const auto at = std::find(call.begin(), call.end(), word);
        return at != call.end() && at + 1 != call.end() ? *(at + 1) : std::string("(none)");
    }
    std::string Log() const { return (base_ / "home/Audio_Stream.log").string(); }
};

TEST_F(RunFaults, AGreyedOutTargetLeftChosenGivesNoJob) {
    WriteText(Output("film.mpa"), "stream");
    ASSERT_TRUE(program.sources.Select(Output("film.mpa")));
    main.OptAudioCodec[0].setValue(true); // as a loaded profile can
    ASSERT_FALSE(main.OptAudioCodec[0].enabled());
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 0);
    EXPECT_EQ(Leftovers(), std::vector<std::string>{"film.mpa"});
}

TEST_F(RunFaults, StartWithAnEmptyListOnlySaysSo) {
    WriteText(Log(), "the last run's log");
    Start();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(ReadText(Log()), "the last run's log");
    EXPECT_TRUE(logViewer.shown.empty());
    EXPECT_EQ(Leftovers(), std::vector<std::string>{}) << "no job file";
}

TEST_F(RunFaults, ExistingOutputsAreReplacedOnlyAfterAYes) {
    AddJob(1);
    main.OptAudioCodec[3].setValue(true);
    main.CmbWAVmode.setListIndex(2);
    main.CmdAddAudioJobList.press();
    WriteText(Output("Stream1.mp3"), "an earlier run's output");
    WriteText(Output("Stream2_LFE.wav"), "an earlier run's bass");

    messages.answer = false;
    Start();
    ASSERT_EQ(messages.asked.size(), 1u);
    const std::string& question = messages.asked[0].text;
    EXPECT_NE(question.find(Output("Stream1.mp3")), std::string::npos) << question;
    EXPECT_NE(question.find(Output("Stream2_LFE.wav")), std::string::npos) << question;
    EXPECT_EQ(question.find("Stream2_FL.wav"), std::string::npos) << "only files that exist";
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 2) << "the list stays";
    EXPECT_TRUE(fs::exists(Settings(0)) && fs::exists(Settings(1)));

    messages.answer = true;
    Start();
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(RunFaults, WhenEveryNameIsTakenNothingIsAddedOrRunAndNoFileIsTouched) {
    const std::string base = jobs::FileBase(source_);
    // The name and the 100 names made unique from it, a folder among them.
    const auto takeAll = [&](const std::string& tail) {
        fs::create_directory(base + tail);
        for (int i = 1; i <= 100; ++i) {
            WriteText(base + "_" + std::to_string(i) + tail, "the user's own");
        }
    };
    takeAll(".stream1.aud");
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(base + ".stream1.aud"), std::string::npos);
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 0);

    fs::remove(base + "_7.stream1.aud");
    AddJob(1);
    ASSERT_EQ(main.LstJobAudio(0).listCount(), 1);
    EXPECT_EQ(Settings(0), base + "_7.stream1.aud");
    takeAll(".task");
    messages.shown.clear();
    Start();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(base + ".task"), std::string::npos);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(ReadText(base + "_100.task"), "the user's own");
    EXPECT_EQ(ReadText(base + "_100.stream1.aud"), "the user's own");
    EXPECT_TRUE(fs::is_directory(base + ".task"));
}

TEST_F(RunFaults, APlantedLinkAtASettingsFileNameIsPassedOver) {
    const std::string target = (base_ / "victim").string();
    WriteText(target, "kept");
    fs::create_symlink(target, jobs::SettingsFileName(source_, 1));
    AddJob(1);
    EXPECT_EQ(ReadText(target), "kept");
    EXPECT_EQ(Settings(0), jobs::FileBase(source_) + "_1.stream1.aud");
}

TEST_F(RunFaults, TwoInstancesInOneFolderKeepTheirOwnFiles) {
    TestProgram instance(launcher);
    ui::Windows& other = instance.windows;
    other.program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
    ASSERT_TRUE(instance.program.sources.Select(source_));
    AddJob(1);
    other.frmMain.OptAudioCodec[2].setValue(true);
    other.frmMain.CmdAddAudioJobList.press();
    const std::string mine = Settings(0);
    const std::string theirs =
        jobs::ParseJobRecord(other.frmMain.LstJobAudio(1).list(0)).settingsFile;
    EXPECT_NE(mine, theirs);

    Start();
    EXPECT_TRUE(fs::exists(theirs)) << "a run removes only its own files";
    instance.messages.answer = true; // Stream1 exists now
    other.frmMain.cmdStartEncode.press();
    launcher.RunUntilIdle();
    const std::vector<Arguments> calls = Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(Contains(calls[0], "-lame("));
    EXPECT_TRUE(Contains(calls[1], "-ogg(")) << "the other instance ran with its own settings";
    EXPECT_EQ(Leftovers(), (std::vector<std::string>{}));
}

TEST_F(RunFaults, ReportsNameTheReasonTheProgramAndTheSignal) {
    AddJob(1);
    AddJob(1);
    setenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream1", 1);
    Start();
    unsetenv("CANTOVA_TEST_FAIL_OUTPUT");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown[0].text.find("Job 1 (" + jobs::FileNamePart(source_) +
                                          "): the transcoder failed (exit status 3): Cantova: "
                                          "failed: no luck with " +
                                          Output("Stream1.mp3")),
              std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(program.runner.unfinishedJobsOfLastRun(), 1);

    messages.shown.clear();
    messages.answer = true;
    AddJob(1);
    setenv("CANTOVA_TEST_CRASH", "1", 1);
    Start();
    unsetenv("CANTOVA_TEST_CRASH");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown[0].text.find("crashed (signal " + std::to_string(SIGSEGV) + ")"),
              std::string::npos)
        << messages.shown[0].text;

    messages.shown.clear();
    const std::string missing = (base_ / "nowhere/Cantova").string();
    windows.program.TranscoderPath = missing;
    AddJob(1);
    Start();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown[0].text.find("could not be started (looked for " + missing + ")"),
              std::string::npos)
        << messages.shown[0].text;
}

TEST_F(RunFaults, PathsArriveAsOneArgumentOrTheRunIsRefused) {
    const fs::path home = base_ / "say \"cheese\" \\";
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
    AddJob(1);
    Start();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(After(Calls()[0], "-logfilea"), (home / "Audio_Stream.log").string());
    EXPECT_EQ(After(Calls()[0], "-input"), source_);

    windows.program.TranscoderPath = "\"/opt/odd\"name/Cantova\"";
    AddJob(1);
    messages.shown.clear();
    Start();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(Calls().size(), 1u) << "nothing started";
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 1) << "the list stays";
}

TEST_F(RunFaults, ALongSourceNameStillGetsItsFiles) {
    const std::string source = (folder_ / (std::string(236, 'n') + ".mpa")).string();
    WriteText(source, "stream");
    ASSERT_TRUE(program.sources.Select(source));
    AddJob(1);
    ASSERT_EQ(main.LstJobAudio(0).listCount(), 1) << messages.shown.front().text;
    Start();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(After(Calls()[0], "-input"), source);
}

TEST_F(RunFaults, TypedValuesThatWouldBreakTheCommandRefuseTheJob) {
    windows.frmPanelAudio.txtBitRateMP3.setText("128 ) -split( -start 1");
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_NE(messages.shown[0].text.find("MP3 bit rate"), std::string::npos)
        << messages.shown[0].text;
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 0);

    windows.frmPanelAudio.txtBitRateMP3.setText("128");
    main.ChkUseBoost.setValue(1);
    for (const std::string value : {"1\t2", "\"3\"", "(4", "5)", " 6"}) {
        messages.shown.clear();
        main.TxtBoostFactor.setText(value);
        main.CmdAddAudioJobList.press();
        ASSERT_EQ(messages.shown.size(), 1u) << value;
        EXPECT_NE(messages.shown[0].text.find("Boost factor"), std::string::npos);
    }
    // A field the command does not use does not matter; plain values pass unchanged.
    main.TxtBoostFactor.setText("2.5");
    main.TxtDelay.setText("+60");
    windows.frmPanelAudio.TxtMinBitrateOGG.setText("not used here");
    messages.shown.clear();
    main.CmdAddAudioJobList.press();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(main.LstJobAudio(0).listCount(), 1);
}

TEST_F(RunFaults, AFailedProfileSaveKeepsTheOldProfile) {
    const std::string profile = (base_ / "mine.aud").string();
    WriteText(profile, "[SETTING]\nPANEL=1\n");
    dialogs.Answer(profile);
    // A file-size limit makes the write fail, also for a user whom permissions do not stop.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit tight = before;
    tight.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &tight);
    main.MenuPrfAudioSave.press();
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(ReadText(profile), "[SETTING]\nPANEL=1\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("left as it was"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(base_)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
            << "no temporary file is left: " << entry.path();
    }
}

} // namespace
