// The batch launcher with a real child: its standard output reaches the handler line by line
// (and so stays out of the batch driver's own output), its exit status comes back.

#include "run_to_end.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using cantova::jobs::LaunchResult;
using cantova::jobs::SpawnLauncher;
using cantova::test::RunToEnd;

TEST(SpawnLauncher, TheChildsOutputLinesGoToTheHandler) {
    setenv("CANTOVA_TEST_PROGRESS", "2", 1);
    setenv("CANTOVA_TEST_SLEEP_MS", "100", 1);
    SpawnLauncher launcher;
    const auto [result, lines] =
        RunToEnd(launcher, CANTOVA_RECORDING_TRANSCODER " -output Stream3.mp3");
    unsetenv("CANTOVA_TEST_PROGRESS");
    unsetenv("CANTOVA_TEST_SLEEP_MS");
    EXPECT_TRUE(result.started && !result.stopped);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"progress 0%", "progress 50%", "progress 100%"}));
}

TEST(SpawnLauncher, TheExitStatusComesBackAndAMissingProgramDoesNotStart) {
    setenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream3", 1);
    SpawnLauncher launcher;
    EXPECT_EQ(
        RunToEnd(launcher, CANTOVA_RECORDING_TRANSCODER " -output Stream3.mp3").result.exitStatus,
        3);
    unsetenv("CANTOVA_TEST_FAIL_OUTPUT");
    EXPECT_FALSE(RunToEnd(launcher, "/nonexistent/Cantova -core(").result.started);
}

} // namespace
