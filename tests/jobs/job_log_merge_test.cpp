// A job's own log added to the run's log: whole when it fits; shortened in its middle, with a
// word about where and how much, when it does not; the result line at its end always kept.

#include "jobs/job_log_merge.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace cantova;

TEST(JobLogMerge, ALogThatFitsIsAddedWholeAfterWhatTheRunLogHolds) {
    TempFolder temp;
    WriteText(temp.File("run.log"), "before\n");
    WriteText(temp.File("job.log"), "line 1\nresult: OK\n");
    std::string error;
    EXPECT_TRUE(jobs::AppendJobLog(temp.File("job.log"), temp.File("run.log"), error));
    EXPECT_EQ(ReadText(temp.File("run.log")), "before\nline 1\nresult: OK\n");
    EXPECT_TRUE(jobs::AppendJobLog(temp.File("none.log"), temp.File("run.log"), error))
        << "a job that wrote no log adds nothing";
    EXPECT_EQ(ReadText(temp.File("run.log")), "before\nline 1\nresult: OK\n");
}

TEST(JobLogMerge, ATooLongLogKeepsItsStartAndItsResultLineAndSaysWhatIsLeftOut) {
    TempFolder temp;
    std::string log;
    for (int line = 0; line < 1000; ++line) {
        log += "line " + std::to_string(line) + "\n";
    }
    log += "result: FAILED, the engine died\n";
    WriteText(temp.File("job.log"), log);
    std::string error;
    ASSERT_TRUE(jobs::AppendJobLog(temp.File("job.log"), temp.File("run.log"), error,
                                   {.maxBytes = 400, .tailBytes = 100}));
    const std::string merged = ReadText(temp.File("run.log"));
    EXPECT_LE(merged.size(), 400u + 120u);
    EXPECT_EQ(merged.rfind("line 0\n", 0), 0u);
    EXPECT_NE(merged.find("\nresult: FAILED, the engine died\n"), std::string::npos);
    // Whole lines on both sides of the note, and the note tells the bytes left out and where.
    const std::size_t note = merged.find("[cantova: ");
    ASSERT_NE(note, std::string::npos);
    EXPECT_EQ(merged[note - 1], '\n');
    const std::size_t noteEnd = merged.find('\n', note);
    const std::string kept = merged.substr(0, note) + merged.substr(noteEnd + 1);
    EXPECT_EQ(log.find(merged.substr(noteEnd + 1)), log.size() - (merged.size() - noteEnd - 1));
    const std::string leftOut = std::to_string(log.size() - kept.size()) + " bytes";
    EXPECT_NE(merged.find(leftOut), std::string::npos) << merged.substr(note, noteEnd - note);
    EXPECT_NE(
        merged.find("from byte " + std::to_string(note) + " of " + std::to_string(log.size())),
        std::string::npos)
        << merged.substr(note, noteEnd - note);
}

TEST(JobLogMerge, ARunLogThatCannotBeWrittenIsAnError) {
    TempFolder temp;
    WriteText(temp.File("job.log"), "result: OK\n");
    std::filesystem::create_directories(temp.Path() / "run.log");
    std::string error;
    EXPECT_FALSE(jobs::AppendJobLog(temp.File("job.log"), temp.File("run.log"), error));
    EXPECT_NE(error.find("could not be added to the run's log"), std::string::npos) << error;
}

} // namespace
