#include "tracklens/tracklens.h"

#include "avi_file_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Info {
    int result;
    double fps;
    int32_t frames;
    int32_t seconds;
};

Info InfoOf(const TempFolder& folder, const std::string& bytes) {
    std::string path = folder.File("video.avi");
    WriteText(path, bytes);
    Info info{-5, -5.0, -5, -5};
    info.result = get_avi_info(path.data(), &info.fps, &info.frames, &info.seconds);
    return info;
}

void ExpectInfo(const Info& info, double fps, int32_t frames, int32_t seconds) {
    EXPECT_EQ(info.result, 0);
    EXPECT_EQ(info.fps, fps);
    EXPECT_EQ(info.frames, frames);
    EXPECT_EQ(info.seconds, seconds);
}

void ExpectUnreadable(const Info& info) {
    ExpectInfo(info, 1.0, 0, 0);
}

AviTestFile VideoOf(unsigned frames, std::uint32_t rate, std::uint32_t scale) {
    AviTestFile file;
    file.frames = FramesOfSize(100, frames, 10);
    file.rate = rate;
    file.scale = scale;
    return file;
}

TEST(AviInfo, WholeNumberRateLengthAndSeconds) {
    TempFolder folder;
    ExpectInfo(InfoOf(folder, BuildAvi(VideoOf(1500, 25, 1))), 25.0, 1500, 60);
    // 30000/1001 is taken as 29, also for the duration: 1750 / 29 = 60.3.
    ExpectInfo(InfoOf(folder, BuildAvi(VideoOf(1750, 30000, 1001))), 29.0, 1750, 60);
    ExpectInfo(InfoOf(folder, BuildAvi(VideoOf(0, 50, 2))), 25.0, 0, 0);
}

TEST(AviInfo, ValuesComeFromTheFirstVideoStreamWhateverItsNumber) {
    AviTestFile file = VideoOf(0, 24, 1);
    file.streamTypes = {"auds", "vids", "vids"};
    file.length = 2400;
    TempFolder folder;
    ExpectInfo(InfoOf(folder, BuildAvi(file)), 24.0, 2400, 100);
    // The other streams' headers say 48000/1 and 9999 frames; the main header says 3 fps.
    file.streamTypes = {"auds", "txts"};
    ExpectUnreadable(InfoOf(folder, BuildAvi(file)));
}

TEST(AviInfo, ZeroScaleOrWholeNumberRateOfZeroIsUnreadable) {
    TempFolder folder;
    ExpectUnreadable(InfoOf(folder, BuildAvi(VideoOf(10, 25, 0))));
    ExpectUnreadable(InfoOf(folder, BuildAvi(VideoOf(10, 1000, 1001))));
}

TEST(AviInfo, LengthBeyondTheSignedRangeIsUnreadable) {
    AviTestFile file = VideoOf(0, 25, 1);
    file.length = 0x7FFFFFFF;
    TempFolder folder;
    ExpectInfo(InfoOf(folder, BuildAvi(file)), 25.0, 0x7FFFFFFF, 85899345);
    file.length = 0x80000000u;
    ExpectUnreadable(InfoOf(folder, BuildAvi(file)));
}

TEST(AviInfo, FilesThatAreNoAviAreUnreadable) {
    TempFolder folder;
    ExpectUnreadable(InfoOf(folder, ""));
    ExpectUnreadable(InfoOf(folder, "just some text, long enough to hold a header"));
    ExpectUnreadable(InfoOf(folder, RiffList("RIFF", "WAVE", RiffChunk("fmt ", "0123"))));
    std::string missing = folder.File("absent.avi");
    Info info{-5, -5.0, -5, -5};
    info.result = get_avi_info(missing.data(), &info.fps, &info.frames, &info.seconds);
    ExpectUnreadable(info);
}

TEST(AviInfo, EveryTruncationOfAFileIsUnreadable) {
    const std::string whole = BuildAvi(VideoOf(3, 25, 1));
    TempFolder folder;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        ExpectUnreadable(InfoOf(folder, whole.substr(0, size)));
    }
}

TEST(AviInfo, ChunksReachingPastTheirListOrMissingHeadersAreUnreadable) {
    const std::string strh = std::string("strh") + Le32(56) + "vids" + std::string(52, '\0');
    const auto avi = [](const std::string& hdrlChildren) {
        return RiffList("RIFF", "AVI ", RiffList("LIST", "hdrl", hdrlChildren));
    };
    const std::string mainHeader = RiffChunk("avih", std::string(56, '\0'));
    TempFolder folder;
    // A stream header whose size reaches past its stream list.
    std::string longStrh = strh;
    longStrh.replace(4, 4, Le32(0x7FFFFFF0));
    ExpectUnreadable(InfoOf(folder, avi(mainHeader + RiffList("LIST", "strl", longStrh))));
    // A stream header too short for its fields.
    ExpectUnreadable(
        InfoOf(folder, avi(mainHeader + RiffList("LIST", "strl", RiffChunk("strh", "vids1234")))));
    // No main header.
    AviTestFile file = VideoOf(5, 25, 1);
    std::string bytes = BuildAvi(file);
    bytes.replace(bytes.find("avih"), 4, "JUNK");
    ExpectUnreadable(InfoOf(folder, bytes));
}

} // namespace
