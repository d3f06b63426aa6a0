#pragma once

// Whole runs with real child processes: a recording transcoder stands in for the real one and
// tells which arguments every job's process received.

#include "jobs/job_record.h"
#include "jobs/spawn_launcher.h"
#include "program_fixture.h"
#include "settings/paths.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cantova::test {

namespace fs = std::filesystem;
using Arguments = std::vector<std::string>;

// The calls the recording transcoder wrote down, in order.
inline std::vector<Arguments> RecordedCalls(const fs::path& record) {
    std::ifstream in(record, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Arguments> calls;
    std::size_t at = 0;
    while (at < data.size()) {
        const std::size_t line = data.find('\n', at);
        const int count = std::stoi(data.substr(at, line - at));
        at = line + 1;
        Arguments arguments;
        for (int i = 0; i < count; ++i) {
            const std::size_t end = data.find('\0', at);
            arguments.push_back(data.substr(at, end - at));
            at = end + 1;
        }
        calls.push_back(arguments);
    }
    return calls;
}

inline bool Contains(const Arguments& arguments, const std::string& word) {
    return std::find(arguments.begin(), arguments.end(), word) != arguments.end();
}

class JobRun : public ::testing::Test,
               protected LauncherBase<jobs::SpawnLauncher>,
               public TestProgram {
protected:
    JobRun() : TestProgram(launcher) {}

    void SetUp() override {
        base_ = temp_.Path();
        // Every character here would mean something to a shell.
        folder_ = base_ / "rips $(touch pwned) `touch pwned2`; a | b * ä\\x & $HOME";
        fs::create_directories(folder_);
        fs::create_directories(base_ / "home");
        source_ = (folder_ / "Film $1 ü DELAY 0ms.ac3").string();
        std::ofstream(source_) << "stream";
        setenv("HOME", (base_ / "home").c_str(), 1);
        setenv("CANTOVA_TEST_RECORD", (base_ / "calls").c_str(), 1);
        unsetenv("CANTOVA_TEST_FAIL_OUTPUT");
        gProbe = &probe;
        windows.program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
        dialogs.Answer(source_);
        main.CmdBrowseStream1.press();
        ASSERT_EQ(main.TxtStreamAudio.text(), source_);
    }
    void TearDown() override { gProbe = nullptr; }

    void AddJob(int target) {
        main.OptAudioCodec[target].setValue(true);
        main.CmdAddAudioJobList.press();
    }
    // Presses Start and lets the run go to its end.
    void Start() {
        main.cmdStartEncode.press();
        launcher.RunUntilIdle();
    }
    std::string Output(const std::string& name) const { return (folder_ / name).string(); }
    // Files other than the source left in its folder.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path() != source_) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    TempFolder temp_;
    ProbeScript probe;
    fs::path base_, folder_;
    std::string source_;
};

} // namespace cantova::test
