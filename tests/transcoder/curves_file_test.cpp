// The file of loudness curves beside the log: its name, written whole under a name of its own,
// replacing only a curves file an earlier job left there, never through a planted link, and
// taken back without touching anything else.
#include "files/curves_file.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace cantova {
namespace {

namespace fs = std::filesystem;
using testing::filesIn;

constexpr const char* kCurves = "cantova-loudness 1\nintegrated -20.0 -16.0\ninterval 0.5\n";

TEST(CurvesFile, LiesBesideTheLogNamedAfterTheLogAndTheOutput) {
    EXPECT_EQ(curvesFilePath("/home/a/Audio_Stream.log", "/music/Stream 1.mp3"),
              "/home/a/Audio_Stream.Stream 1.mp3.loudness");
    EXPECT_EQ(curvesFilePath("log", "Stream1.wav"),
              (fs::current_path() / "log.Stream1.wav.loudness").string())
        << "always an absolute path";
}

TEST(CurvesFile, IsWrittenWholeAndReplacesOnlyAnEarlierCurvesFile) {
    TempFolder folder;
    const std::string path = folder.File("Audio_Stream.Stream1.mp3.loudness");
    writeCurvesFile(path, "cantova-loudness 1\nearlier\n");
    writeCurvesFile(path, kCurves);
    EXPECT_EQ(ReadText(path), kCurves);
    EXPECT_EQ(filesIn(folder.Path().string()),
              std::vector<std::string>{"Audio_Stream.Stream1.mp3.loudness"})
        << "no hidden file is left";

    // The user's own file at the name, a link planted there (to a file or to nowhere), a
    // FIFO: none is replaced, written through or waited on, and nothing is left behind.
    WriteText(folder.File("mine.loudness"), "my notes\n");
    WriteText(folder.File("target"), "cantova-loudness 1\nnot to be overwritten\n");
    ASSERT_EQ(::symlink(folder.File("target").c_str(), folder.File("link.loudness").c_str()), 0);
    ASSERT_EQ(::symlink(folder.File("nowhere").c_str(), folder.File("dangling.loudness").c_str()),
              0);
    ASSERT_EQ(::mkfifo(folder.File("fifo.loudness").c_str(), 0600), 0);
    for (const std::string name :
         {"mine.loudness", "link.loudness", "dangling.loudness", "fifo.loudness"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(writeCurvesFile(folder.File(name), kCurves), std::runtime_error);
    }
    EXPECT_EQ(ReadText(folder.File("mine.loudness")), "my notes\n");
    EXPECT_EQ(ReadText(folder.File("target")), "cantova-loudness 1\nnot to be overwritten\n");
    EXPECT_FALSE(fs::exists(folder.File("nowhere")));
    EXPECT_TRUE(fs::is_symlink(folder.File("link.loudness")));
    EXPECT_EQ(filesIn(folder.Path().string()).size(), 6u);

    // Taken back, the curves file goes; nothing else at such a name does.
    removeCurvesFile(path);
    for (const std::string name : {"mine.loudness", "link.loudness", "fifo.loudness"}) {
        removeCurvesFile(folder.File(name));
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadText(folder.File("mine.loudness")), "my notes\n");
    EXPECT_TRUE(fs::is_symlink(folder.File("link.loudness")));
    EXPECT_EQ(filesIn(folder.Path().string()).size(), 5u);
}

TEST(CurvesFile, FailsWithTheReasonWhereTheFolderCannotBeWritten) {
    TempFolder folder;
    try {
        writeCurvesFile(folder.File("no folder/a.loudness"), kCurves);
        FAIL() << "written into a folder that does not exist";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace cantova
