// The batch driver chooses an AC3 source and shows what the library, loaded by name next to the
// program, reports about it.

#include "ac3_stream_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string RunBatchOn(const std::string& source) {
    const std::string command = std::string("'") + CANTOVA_BATCH + "' select '" + source +
                                "' print LbStream1Info.Caption print 'OptAudioCodec(0).Caption'";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, got);
    }
    EXPECT_EQ(pipe == nullptr ? -1 : pclose(pipe), 0) << command;
    return out;
}

constexpr const char* kExpected448 =
    "LbStream1Info.Caption=Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz\n"
    "OptAudioCodec(0).Caption=AC3 448 Kbps\n";

TEST(Ac3SourceSelection, HandBuiltHeaderIsShown) {
    TempFolder folder;
    const std::string path = folder.File("VTS_01 T01 DELAY -24ms.ac3");
    // 448 kbit/s, 3/2 with LFE, 48 kHz, 11 bits into the file.
    WriteText(path, Ac3FileWithHeaderAt(11, {0, 30, 7, 1}));
    EXPECT_EQ(RunBatchOn(path), kExpected448);
}

TEST(Ac3SourceSelection, EncoderOutputIsShown) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed: no encoder output to test with";
    }
    TempFolder folder;
    const std::string path = folder.File("encoded 5.1.ac3");
    const std::string encode = "ffmpeg -v error -nostdin -f lavfi -i 'sine=f=440:d=1:r=48000' "
                               "-ac 6 -c:a ac3 -b:a 448k '" +
                               path + "'";
    ASSERT_EQ(std::system(encode.c_str()), 0) << encode;
    EXPECT_EQ(RunBatchOn(path), kExpected448);
}

} // namespace
