#include "jobs/job_files.h"
#include "jobs/job_record.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>

namespace {

using namespace cantova::jobs;

TEST(ParseString, TakesFieldsBetweenDollars) {
    EXPECT_EQ(ParseString("$a$b$c$", 1), "a");
    EXPECT_EQ(ParseString("$a$b$c$", 3), "c");
    EXPECT_EQ(ParseString("$a$b$c$", 4), "");
    EXPECT_EQ(ParseString("$a$b$c$", 0), "");
    EXPECT_EQ(ParseString("$a$$c$", 2), "");
    EXPECT_EQ(ParseString("no fields", 1), "");
}

TEST(JobRecord, KeepsDollarsAndPercentsInsidePathsIntact) {
    const JobRecord record{"/home/u/$dir/track.stream1.aud", "/home/u/$dir/50% $(x).ac3",
                           "\"/home/u/$dir/Stream1.mp3\"", "0", "128"};
    const std::string text = FormatJobRecord(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '$'), 6);
    const JobRecord back = ParseJobRecord(text);
    EXPECT_EQ(back.settingsFile, record.settingsFile);
    EXPECT_EQ(back.source, record.source);
    EXPECT_EQ(back.outputArgument, record.outputArgument);
    EXPECT_EQ(back.copyMarker, "0");
    EXPECT_EQ(back.targetBitrate, "128");
}

TEST(JobRecord, BitrateLadder) {
    EXPECT_EQ(BitrateForCode(0), 56);
    EXPECT_EQ(BitrateForCode(5), 128);
    EXPECT_EQ(BitrateForCode(12), 448);
    // Opus's highest rate lies beyond the rates every lossy target shares.
    EXPECT_EQ(BitrateForCode(13), 512);
    EXPECT_EQ(BitrateForCode(14), 0);
    EXPECT_EQ(BitrateForCode(-1), 0);
}

class JobFileNames : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = temp_.Path();
        std::filesystem::create_directories(folder_ / "my.rips");
    }
    std::string path(const std::string& relative) const { return (folder_ / relative).string(); }
    static void touch(const std::string& file) { std::ofstream(file) << "x"; }
    TempFolder temp_;
    std::filesystem::path folder_;
};

TEST_F(JobFileNames, BaseIsCutAtTheLastDotOfTheFileNameOnly) {
    EXPECT_EQ(FileBase("/a/b/track.ac3"), "/a/b/track");
    EXPECT_EQ(FileBase("/a/b/movie.part1.ac3"), "/a/b/movie.part1");
    EXPECT_EQ(FileBase("/a/my.rips/track"), "/a/my.rips/track");
    EXPECT_EQ(FileNamePart("/a/my.rips/track.ac3"), "track.ac3");
}

TEST_F(JobFileNames, UniqueNamesInsertANumberBeforeTheFirstDotOfTheFileName) {
    const std::string taken = path("my.rips/track.stream3.aud");
    EXPECT_EQ(MakeUniqueName(taken), taken);
    touch(taken);
    EXPECT_EQ(MakeUniqueName(taken), path("my.rips/track_1.stream3.aud"));
    touch(path("my.rips/track_1.stream3.aud"));
    EXPECT_EQ(MakeUniqueName(taken), path("my.rips/track_2.stream3.aud"));
    touch(path("my.rips/noext"));
    EXPECT_EQ(MakeUniqueName(path("my.rips/noext")), path("my.rips/noext_1"));
}

TEST_F(JobFileNames, AllCandidatesTakenGivesNone) {
    const std::string name = path("t.task");
    touch(name);
    for (int i = 1; i <= 100; ++i) {
        touch(path("t_" + std::to_string(i) + ".task"));
    }
    EXPECT_EQ(MakeUniqueName(name), std::nullopt);
    EXPECT_EQ(CreateUniqueFile(name, "new"), std::nullopt);
    EXPECT_EQ(ReadText(path("t_100.task")), "x") << "nothing taken is written";
}

TEST_F(JobFileNames, FilesAreCreatedUnderTheFirstFreeNameAndNeverOverAnEntry) {
    const std::string source = path("my.rips/track.ac3");
    EXPECT_EQ(SettingsFileName(source, 3), path("my.rips/track.stream3.aud"));
    EXPECT_EQ(JobFileName(source), path("my.rips/track.task"));
    touch(path("my.rips/track.task"));
    std::filesystem::create_symlink(path("elsewhere"), path("my.rips/track_1.task"));
    EXPECT_EQ(CreateUniqueFile(JobFileName(source), "[AUDIO]\n"), path("my.rips/track_2.task"));
    EXPECT_EQ(ReadText(path("my.rips/track_2.task")), "[AUDIO]\n");
    EXPECT_FALSE(std::filesystem::exists(path("elsewhere"))) << "a dangling link is not followed";
}

} // namespace
