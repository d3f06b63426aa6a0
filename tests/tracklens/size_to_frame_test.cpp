#include "tracklens/tracklens.h"

#include "avi_file_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t kUntouched = -77;

struct Answer {
    int result;
    int32_t frame;
};

Answer FrameFor(const TempFolder& folder, const std::string& bytes, int32_t size, int32_t kbps) {
    std::string path = folder.File("video.avi");
    WriteText(path, bytes);
    Answer answer{-5, kUntouched};
    answer.result = filesize2frame(path.data(), size, kbps, &answer.frame);
    return answer;
}

void ExpectFrame(const Answer& answer, int32_t frame) {
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.frame, frame);
}

// 100 frames of 1000 bytes at 25 fps, a key frame every 10.
AviTestFile TenSecondsOfKeyEvery10(AviTestIndex index) {
    AviTestFile file;
    file.frames = FramesOfSize(1000, 100, 10);
    file.index = index;
    return file;
}

class SizeToFrame : public testing::TestWithParam<AviTestIndex> {};

TEST_P(SizeToFrame, KeyFrameAtOrBeforeTheFrameBeforeTheOneThatPassesTheLimit) {
    TempFolder folder;
    const std::string avi = BuildAvi(TenSecondsOfKeyEvery10(GetParam()));
    // Limit 9950: frame 9 brings the sum to 10000; the key frame at or before 8 is 0.
    ExpectFrame(FrameFor(folder, avi, 10000, 0), 0);
    // Limit 19999.5 is passed at frame 19 (20000): the key frame at or before 18 is 10.
    ExpectFrame(FrameFor(folder, avi, 20100, 0), 10);
    // Limit 20995.5 is passed at frame 20 (21000): frame 19 is no key frame, 10 is taken again.
    ExpectFrame(FrameFor(folder, avi, 21101, 0), 10);
    // Passed at frame 21 (22000): frame 20 is itself a key frame.
    ExpectFrame(FrameFor(folder, avi, 22000, 0), 20);
}

TEST_P(SizeToFrame, AudioPartCountsWholeKilobytesPerSecondForTheFramesBefore) {
    TempFolder folder;
    const std::string avi = BuildAvi(TenSecondsOfKeyEvery10(GetParam()));
    // 192 kbit/s: 24 * 1024 bytes a second, 983.04 a frame. Limit 99500: frame 49 gives
    // 50000 + 48168 and stays below, frame 50 gives 51000 + 49152 and passes.
    ExpectFrame(FrameFor(folder, avi, 100000, 192), 40);
    // 199 kbit/s counts as 24 kB/s as well; 200 as 25 (1024 bytes a frame, passing at 49).
    ExpectFrame(FrameFor(folder, avi, 100000, 199), 40);
    ExpectFrame(FrameFor(folder, avi, 100000, 200), 40);
    ExpectFrame(FrameFor(folder, avi, 98000, 200), 40);
    ExpectFrame(FrameFor(folder, avi, 81000, 200), 30);
    // A negative rate counts as no audio.
    ExpectFrame(FrameFor(folder, avi, 20100, -192), 10);
}

TEST_P(SizeToFrame, NothingBeforeTheLimitGivesMinusOne) {
    TempFolder folder;
    // Smaller than the first frame.
    ExpectFrame(FrameFor(folder, BuildAvi(TenSecondsOfKeyEvery10(GetParam())), 999, 0), -1);
    // No key frame at or before the frame before the one that passes.
    AviTestFile file = TenSecondsOfKeyEvery10(GetParam());
    for (AviTestFrame& frame : file.frames) {
        frame.keyFrame = false;
    }
    file.frames[5].keyFrame = true;
    ExpectFrame(FrameFor(folder, BuildAvi(file), 5000, 0), -1);
    ExpectFrame(FrameFor(folder, BuildAvi(file), 8000, 0), 5);
}

TEST_P(SizeToFrame, FrameStaysUntouchedWhenNoFramePassesTheLimit) {
    TempFolder folder;
    const std::string avi = BuildAvi(TenSecondsOfKeyEvery10(GetParam()));
    ExpectFrame(FrameFor(folder, avi, 100503, 0), kUntouched);
    ExpectFrame(FrameFor(folder, avi, 0x7FFFFFFF, 640), kUntouched);
}

TEST_P(SizeToFrame, DroppedFramesCountZero) {
    AviTestFile file = TenSecondsOfKeyEvery10(GetParam());
    for (unsigned i = 1; i < 10; ++i) {
        file.frames[i].size = 0;
    }
    TempFolder folder;
    // Frames 0 to 9 make 1000 bytes; 10 to 18 bring 10000; 19 passes 10945.
    ExpectFrame(FrameFor(folder, BuildAvi(file), 11000, 0), 10);
}

INSTANTIATE_TEST_SUITE_P(Indexes, SizeToFrame,
                         testing::Values(AviTestIndex::Legacy, AviTestIndex::OpenDml),
                         [](const testing::TestParamInfo<AviTestIndex>& info) {
                             return info.param == AviTestIndex::Legacy ? "Idx1" : "OpenDml";
                         });

TEST(SizeToFrameIndex, OpenDmlIndexSpreadOverChunksIsReadInOrder) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::OpenDml);
    file.openDmlChunks = 7;
    TempFolder folder;
    ExpectFrame(FrameFor(folder, BuildAvi(file), 55000, 0), 50);
}

TEST(SizeToFrameIndex, OpenDmlIndexIsPreferredOverIdx1) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::Both);
    std::string avi = BuildAvi(file);
    // Make idx1 claim 1 MB frames; the OpenDML index still says 1000 bytes.
    const std::size_t idx1 = avi.find("idx1");
    for (std::size_t entry = idx1 + 8; entry < avi.size(); entry += 16) {
        avi.replace(entry + 12, 4, Le32(1000000));
    }
    TempFolder folder;
    ExpectFrame(FrameFor(folder, avi, 20100, 0), 10);
}

TEST(SizeToFrameIndex, Idx1EntriesOfOtherStreamsAreSkipped) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::Legacy);
    file.streamTypes = {"auds", "vids"};
    TempFolder folder;
    ExpectFrame(FrameFor(folder, BuildAvi(file), 20100, 0), 10);
}

TEST(SizeToFrameIndex, FramesTheIndexDoesNotListHaveNoDataAndAreNoKeyFrames) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::Legacy);
    file.length = 1000;
    TempFolder folder;
    const std::string avi = BuildAvi(file);
    // 100000 bytes of video; with 1 kB/s of audio (40.96 a frame) the last frame, 999, gives
    // 100000 + 40919 and passes 140000 * 0.995 = 139300: the last key frame, 90, is taken.
    ExpectFrame(FrameFor(folder, avi, 140000, 8), 90);
    ExpectFrame(FrameFor(folder, avi, 142000, 8), kUntouched);
}

TEST(SizeToFrameFailures, NegativeSizeReturnsMinusOneWithFrameUntouched) {
    TempFolder folder;
    const Answer answer =
        FrameFor(folder, BuildAvi(TenSecondsOfKeyEvery10(AviTestIndex::Legacy)), -1, 0);
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.frame, kUntouched);
}

TEST(SizeToFrameFailures, NoVideoStreamNoIndexOrNoAviLeavesFrameUntouched) {
    TempFolder folder;
    ExpectFrame(FrameFor(folder, BuildAvi(TenSecondsOfKeyEvery10(AviTestIndex::None)), 999, 0),
                kUntouched);
    AviTestFile audioOnly = TenSecondsOfKeyEvery10(AviTestIndex::Legacy);
    audioOnly.streamTypes = {"auds"};
    ExpectFrame(FrameFor(folder, BuildAvi(audioOnly), 999, 0), kUntouched);
    ExpectFrame(FrameFor(folder, "not an avi at all", 999, 0), kUntouched);
    AviTestFile zeroScale = TenSecondsOfKeyEvery10(AviTestIndex::Legacy);
    zeroScale.scale = 0;
    ExpectFrame(FrameFor(folder, BuildAvi(zeroScale), 999, 0), kUntouched);
}

TEST(SizeToFrameFailures, HostileOpenDmlIndexesAreUnreadable) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::OpenDml);
    const std::string avi = BuildAvi(file);
    const std::size_t indx = avi.find("indx") + 8;
    const std::size_t ix = avi.find("ix00") + 8;
    TempFolder folder;
    const auto expectUnreadable = [&](const std::string& bytes) {
        ExpectFrame(FrameFor(folder, bytes, 999, 0), kUntouched);
    };
    // A super index entry pointing past the end of the file.
    std::string pastEnd = avi;
    pastEnd.replace(indx + 24, 8, Le32(0xFFFFFF00) + Le32(7));
    expectUnreadable(pastEnd);
    // More entries in use than the chunk holds, in the super index and in the standard index.
    std::string superCount = avi;
    superCount.replace(indx + 4, 4, Le32(2));
    expectUnreadable(superCount);
    std::string chunkCount = avi;
    chunkCount.replace(ix + 4, 4, Le32(101));
    expectUnreadable(chunkCount);
    // A standard index where a super index should point, and a bad entry width.
    std::string wrongType = avi;
    wrongType[ix + 3] = '\0';
    expectUnreadable(wrongType);
    std::string wrongWidth = avi;
    wrongWidth.replace(ix, 2, std::string("\0\0", 2));
    expectUnreadable(wrongWidth);
}

TEST(SizeToFrameFailures, SuperIndexRepeatingOneChunkBeyondWhatTheFileHoldsIsUnreadable) {
    AviTestFile file = TenSecondsOfKeyEvery10(AviTestIndex::OpenDml);
    TempFolder folder;
    // Listed twice, the chunk gives frames 100 to 199 as well.
    file.superIndexRepeats = 2;
    file.length = 200;
    ExpectFrame(FrameFor(folder, BuildAvi(file), 150000, 0), 140);
    // 4000 entries for the one 100-entry chunk: 400000 entries in a file of some 70 kB.
    file.superIndexRepeats = 4000;
    ExpectFrame(FrameFor(folder, BuildAvi(file), 999, 0), kUntouched);
}

} // namespace
