// Whole runs with real child processes: a recording transcoder stands in for the
// real one and tells which arguments every job's process received.

#include "job_run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;

TEST_F(JobRun, EveryJobRunsWithItsOwnSettingsAndItsArgumentsArriveIntact) {
    AddJob(1); // 1: MP3 at the defaults
    AddJob(2); // 2: Ogg Vorbis, deleted below
    main.OptAudioCodec[0].setValue(true);
    main.ChkAC3Reencode.setValue(0); // 3: AC3 kept as it is, a copy job
    main.CmdAddAudioJobList.press();
    main.OptAudioCodec[3].setValue(true);
    main.CmbWAVmode.setListIndex(2);
    main.CmdAddAudioJobList.press(); // 4: WAV stored with "6 Mono File"
    main.LstJobAudio(0).setListIndex(1);
    main.CmdDelAudioJobList.press();
    main.OptAudioCodec[1].setValue(true);
    main.CmbMP3Mode.setListIndex(2); // 5: MP3 VBR
    main.CmdAddAudioJobList.press();
    ASSERT_EQ(main.LstJobAudio(0).listCount(), 4);
    main.OptAudioCodec[3].setValue(true);
    main.CmbWAVmode.setListIndex(1); // the window's mode at Start does not count: the job's does
    Start();

    const std::string log = settings::TranscoderLogPath();
    const std::vector<Arguments> calls = RecordedCalls(base_ / "calls");
    ASSERT_EQ(calls.size(), 3u) << "the copy job and the deleted job are not run";
    const Arguments core1{CANTOVA_RECORDING_TRANSCODER, "-core(",    "-input", source_, "-output",
                          Output("Stream1.mp3"),        "-logfilea", log,      ")"};
    EXPECT_TRUE(std::equal(core1.begin(), core1.end(), calls[0].begin())) << calls[0][5];
    EXPECT_TRUE(Contains(calls[0], "-lame(") && Contains(calls[0], "-azid("));
    EXPECT_FALSE(Contains(calls[0], "-V"));
    const Arguments core4{CANTOVA_RECORDING_TRANSCODER, "-core(", "-input",    source_, "-output",
                          Output("Stream4.wav"),        "-6ch",   "-logfilea", log,     ")"};
    EXPECT_TRUE(std::equal(core4.begin(), core4.end(), calls[1].begin()));
    EXPECT_FALSE(Contains(calls[1], "-lame("));
    EXPECT_EQ(calls[2][5], Output("Stream5.mp3")) << "numbers are never reused";
    EXPECT_TRUE(Contains(calls[2], "-lame(") && Contains(calls[2], "-V"));

    EXPECT_FALSE(fs::exists("pwned") || fs::exists("pwned2") || fs::exists(base_ / "pwned"));
    EXPECT_EQ(Leftovers(), std::vector<std::string>{}) << "settings and job files are removed";
    EXPECT_EQ(main.LstJobAudio(0).listCount() + main.LstJobAudio(1).listCount(), 0);
    EXPECT_EQ(main.LstJobFile(0).listCount() + main.LstJobFile(1).listCount(), 0);
    EXPECT_EQ(logViewer.shown, std::vector<std::string>{log});
    std::ifstream in(log);
    std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_TRUE(main.cmdStartEncode.enabled() && main.CmdBrowseStream1.enabled());
    EXPECT_EQ(main.caption(), "Cantova Light GUI v1.4.8");
}

TEST_F(JobRun, JobsThatFailOrCannotRunAreReportedOnceAfterTheRun) {
    AddJob(1);
    AddJob(2);
    AddJob(1);
    fs::remove(jobs::ParseJobRecord(main.LstJobAudio(1).list(2)).settingsFile);
    setenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream2", 1);
    Start();

    EXPECT_EQ(RecordedCalls(base_ / "calls").size(), 2u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Job Report");
    const std::string& report = messages.shown[0].text;
    EXPECT_NE(report.find("Job 2 ("), std::string::npos) << report;
    EXPECT_NE(report.find("exit status 3"), std::string::npos) << report;
    EXPECT_NE(report.find("Job 3 ("), std::string::npos) << report;
    EXPECT_NE(report.find("settings file is missing"), std::string::npos) << report;
    EXPECT_EQ(report.find("Job 1 ("), std::string::npos) << report;
    EXPECT_EQ(logViewer.shown.size(), 1u);
}

TEST_F(JobRun, AMissingTranscoderIsReportedAndNoLogIsFound) {
    windows.program.TranscoderPath = (base_ / "no-transcoder").string();
    AddJob(1);
    Start();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("could not be started"), std::string::npos);
    EXPECT_EQ(messages.shown[1].text, "No Log File Found");
    EXPECT_EQ(messages.shown[1].caption, "Not Found");
    EXPECT_TRUE(logViewer.shown.empty());
}

} // namespace
