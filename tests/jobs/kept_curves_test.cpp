// Keeping a job's loudness curves beside the run's log: a new file or an earlier curves file is
// written, a file of the user's or a planted link never.

#include "jobs/kept_curves.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using cantova::jobs::CurvesPathBesideLog;
using cantova::jobs::KeepCurvesBesideLog;
namespace fs = std::filesystem;

constexpr const char* kCurves = "cantova-loudness 1\ninterval 0.5\n-20.0 -18.0\n";

TEST(KeptCurves, TheNameFollowsTheLogAndTheOutput) {
    EXPECT_EQ(CurvesPathBesideLog("/home/a/Audio_Stream.log", "/music/Stream1.mp3"),
              "/home/a/Audio_Stream.Stream1.mp3.loudness");
}

TEST(KeptCurves, ANewFileOrAnEarlierCurvesFileIsWrittenAndNothingElse) {
    TempFolder temp;
    const std::string log = temp.File("Audio_Stream.log");
    const std::string curves = temp.File("run-curves");
    WriteText(curves, kCurves);
    const std::string kept = CurvesPathBesideLog(log, "/out/Stream1.mp3");

    EXPECT_EQ(KeepCurvesBesideLog(curves, log, "/out/Stream1.mp3"), kept);
    EXPECT_EQ(ReadText(kept), kCurves);
    WriteText(kept, "cantova-loudness 1\nan earlier job's\n");
    EXPECT_EQ(KeepCurvesBesideLog(curves, log, "/out/Stream1.mp3"), kept);
    EXPECT_EQ(ReadText(kept), kCurves);

    WriteText(kept, "the user's notes\n");
    EXPECT_FALSE(KeepCurvesBesideLog(curves, log, "/out/Stream1.mp3"));
    EXPECT_EQ(ReadText(kept), "the user's notes\n");

    fs::remove(kept);
    const std::string target = temp.File("target");
    WriteText(target, "cantova-loudness 1\nbehind a link\n");
    fs::create_symlink(target, kept);
    EXPECT_FALSE(KeepCurvesBesideLog(curves, log, "/out/Stream1.mp3"));
    EXPECT_TRUE(fs::is_symlink(kept));
    EXPECT_EQ(ReadText(target), "cantova-loudness 1\nbehind a link\n");
}

TEST(KeptCurves, OnlyACurvesFileIsCopied) {
    TempFolder temp;
    const std::string log = temp.File("Audio_Stream.log");
    const std::string other = temp.File("other");
    WriteText(other, "not curves\n");
    EXPECT_FALSE(KeepCurvesBesideLog(other, log, "/out/Stream1.mp3"));
    EXPECT_FALSE(KeepCurvesBesideLog(temp.File("missing"), log, "/out/Stream1.mp3"));
    const std::string link = temp.File("link");
    WriteText(temp.File("real"), kCurves);
    fs::create_symlink(temp.File("real"), link);
    EXPECT_FALSE(KeepCurvesBesideLog(link, log, "/out/Stream1.mp3"));
    EXPECT_FALSE(fs::exists(CurvesPathBesideLog(log, "/out/Stream1.mp3")));
}

} // namespace
