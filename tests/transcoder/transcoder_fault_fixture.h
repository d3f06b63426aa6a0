#pragma once

#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace cantova::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A word only the commands of encoding passes hold.
constexpr const char* kEncodingPass = "-c:a";

// A folder of its own for each test, a log beside it, and sources made with ffmpeg.
class TranscoderFaults : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame", "oggenc"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe, lame or oggenc is not installed; the transcoder "
                            "fault tests need them (scripts/install-deps.sh installs them)";
        }
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() /
                ("cantova faults " + std::string(test->name()) + " " + std::to_string(::getpid()));
        folder_ = root_ / "rips of VTS_01";
        fs::create_directories(folder_);
    }

    void TearDown() override {
        std::error_code ignored;
        if (!root_.empty()) {
            fs::remove_all(root_, ignored);
        }
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::string log() const { return (root_ / "Audio_Stream.log").string(); }

    // A stereo tone (or noise, which no encoder packs small) of the given length, as a 16-bit
    // WAVE file.
    std::string makeSource(const std::string& name, double seconds = 3.0, bool noise = false) {
        const std::string length = std::to_string(seconds);
        runFfmpeg({"-f", "lavfi", "-i",
                   noise ? "anoisesrc=r=48000:a=0.5:d=" + length : "sine=f=440:r=48000:d=" + length,
                   "-ac", "2", "-c:a", "pcm_s16le", path(name)});
        return path(name);
    }

    Words command(const std::string& input, const std::string& output, const std::string& groups,
                  const std::string& channelFlag = "") const {
        return transcoderCommand(input, output, log(), groups, channelFlag);
    }

    fs::path root_;
    fs::path folder_;
};

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace cantova::testing
