// The batch launcher under a child's faults: a process it leaves behind, a flood of output without
// line breaks, a crash, and a stop request from outside.

#include "run_to_end.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using cantova::jobs::LaunchResult;
using cantova::jobs::OutputLineSplitter;
using cantova::jobs::SpawnLauncher;
using cantova::test::RunToEnd;

constexpr const char* kTranscoder = CANTOVA_RECORDING_TRANSCODER " -output Stream1.mp3";

// Sets variables of the recording transcoder for one test.
class Environment {
public:
    Environment(std::initializer_list<std::pair<const char*, const char*>> variables) {
        for (const auto& [name, value] : variables) {
            setenv(name, value, 1);
            names_.push_back(name);
        }
    }
    ~Environment() {
        for (const char* name : names_) {
            unsetenv(name);
        }
    }

private:
    std::vector<const char*> names_;
};

// The test's time limit fails it if the launcher waits for the process left behind.
TEST(LauncherFaults, TheWaitEndsWithTheChildNotWithWhatItLeftBehind) {
    const Environment env{{"CANTOVA_TEST_LINGER_MS", "120000"}, {"CANTOVA_TEST_PROGRESS", "1"}};
    SpawnLauncher launcher;
    const auto [result, lines] = RunToEnd(launcher, kTranscoder);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"progress 0%", "progress 100%"}))
        << "what the child wrote before it ended still arrives";
}

TEST(LauncherFaults, AnEndlessLineIsCutInsteadOfHeld) {
    const Environment env{{"CANTOVA_TEST_FLOOD", "50000000"}};
    SpawnLauncher launcher;
    const std::vector<std::string> lines = RunToEnd(launcher, kTranscoder).lines;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), OutputLineSplitter::kDefaultMaxLineLength);
}

TEST(LauncherFaults, ACrashIsReportedWithItsSignalAndTheErrorOutputIsKept) {
    {
        const Environment env{{"CANTOVA_TEST_CRASH", "1"}};
        SpawnLauncher launcher;
        const LaunchResult result = RunToEnd(launcher, kTranscoder).result;
        EXPECT_EQ(result.signal, SIGSEGV);
        EXPECT_FALSE(result.stopped);
    }
    const Environment env{{"CANTOVA_TEST_FAIL_OUTPUT", "Stream1"}};
    SpawnLauncher launcher;
    const LaunchResult result = RunToEnd(launcher, kTranscoder).result;
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.errorOutput, "Cantova: failed: no luck with Stream1.mp3");
}

// Runs the recording transcoder with a stop request that comes after a while, as a signal to the
// batch driver does.
LaunchResult RunStoppedAfterAWhile() {
    std::array<int, 2> request{};
    EXPECT_EQ(pipe2(request.data(), O_CLOEXEC), 0);
    SpawnLauncher launcher(request[0]);
    std::thread asker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(write(request[1], "x", 1), 1);
    });
    const LaunchResult result = RunToEnd(launcher, kTranscoder).result;
    asker.join();
    close(request[0]);
    close(request[1]);
    return result;
}

TEST(LauncherFaults, AStopRequestEndsTheChild) {
    const Environment env{{"CANTOVA_TEST_SLEEP_MS", "60000"}};
    const LaunchResult result = RunStoppedAfterAWhile();
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.signal, SIGTERM);

    // A child that ignores the request is killed after the grace period.
    const Environment stubborn{{"CANTOVA_TEST_IGNORE_TERM", "1"}};
    const LaunchResult killed = RunStoppedAfterAWhile();
    EXPECT_TRUE(killed.stopped);
    EXPECT_EQ(killed.signal, SIGKILL);
}

} // namespace
