// What the exports do with paths that are no regular file, with huge files that hold little, and
// with null pointers. A probe that hangs or walks a huge file step by step is stopped by the
// tests' CTest time-out.

#include "tracklens/tracklens.h"

#include "ac3_stream_builder.h"
#include "avi_file_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr AC3_INFO kUntouchedInfo{-7, -7, -7};
constexpr int32_t kUntouched = -77;
constexpr unsigned kSyncSearchBits = (16u << 20) * 8; // the first 16 MiB

void ExpectAc3InfoUntouched(std::string path) {
    AC3_INFO info = kUntouchedInfo;
    EXPECT_EQ(GetAc3Info(path.data(), &info), 0);
    EXPECT_EQ(info.Bitrate, kUntouchedInfo.Bitrate);
    EXPECT_EQ(info.Channels, kUntouchedInfo.Channels);
    EXPECT_EQ(info.SampleRate, kUntouchedInfo.SampleRate);
}

void ExpectAviInfo(std::string path, double fps, int32_t frames, int32_t seconds) {
    double gotFps = -5.0;
    int32_t gotFrames = -5;
    int32_t gotSeconds = -5;
    EXPECT_EQ(get_avi_info(path.data(), &gotFps, &gotFrames, &gotSeconds), 0);
    EXPECT_EQ(gotFps, fps);
    EXPECT_EQ(gotFrames, frames);
    EXPECT_EQ(gotSeconds, seconds);
}

void ExpectNoFrameFor(std::string path) {
    int32_t frame = kUntouched;
    EXPECT_EQ(filesize2frame(path.data(), 1000, 0, &frame), 0);
    EXPECT_EQ(frame, kUntouched);
}

// Every export gives its result for a file that cannot be opened.
void ExpectCannotBeOpened(std::string path) {
    SCOPED_TRACE(path);
    ExpectAc3InfoUntouched(path);
    ExpectAviInfo(path, 1.0, 0, 0);
    ExpectNoFrameFor(path);
    int32_t size = kUntouched;
    EXPECT_EQ(getfilesize(path.data(), &size), -1);
    EXPECT_EQ(size, kUntouched);
}

// A sparse file of the given size: the bytes at the start and at endBytesAt, zeros between.
void WriteSparse(const std::string& path, std::uint64_t size, const std::string& start,
                 std::uint64_t endBytesAt = 0, const std::string& endBytes = "") {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    EXPECT_EQ(pwrite(fd, start.data(), start.size(), 0), static_cast<ssize_t>(start.size()));
    EXPECT_EQ(pwrite(fd, endBytes.data(), endBytes.size(), static_cast<off_t>(endBytesAt)),
              static_cast<ssize_t>(endBytes.size()));
    close(fd);
}

// A 25 fps AVI of 1500 frames: its header list, then the given bytes, in one "RIFF".
std::string AviHeaderThen(const std::string& after) {
    AviTestFile file;
    file.frames = FramesOfSize(1000, 1500, 10);
    file.index = AviTestIndex::None;
    std::string avi = BuildAvi(file);
    avi.resize(avi.find("movi") - 8);
    avi += after;
    avi.replace(4, 4, Le32(static_cast<std::uint32_t>(avi.size() - 8)));
    return avi;
}

TEST(FileKinds, FifoIsNotOpenedWithOrWithoutAWriter) {
    TempFolder folder;
    const std::string path = folder.File("stream.ac3");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    {
        // Both ends held here, with a whole AC3 header waiting in the pipe.
        const int ends = open(path.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(ends, 0);
        const std::string bytes = Ac3FileWithHeaderAt(0, {0, 30, 7, 1});
        EXPECT_EQ(write(ends, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ExpectAc3InfoUntouched(path);
        close(ends);
    }
    ExpectCannotBeOpened(path);
}

TEST(FileKinds, LinkToACharacterDeviceAndAFolderAreNotOpened) {
    TempFolder folder;
    const std::string link = folder.File("zeros.ac3");
    std::filesystem::create_symlink("/dev/zero", link);
    ExpectCannotBeOpened(link);
    ExpectCannotBeOpened(folder.Path().string());
}

TEST(HugeFiles, AviHeaderFollowedByGigabytesOfZerosIsReadFromTheHeader) {
    TempFolder folder;
    const std::string path = folder.File("video.avi");
    // The "RIFF" reaches to the end of a 4 GiB file; after the header list all is zeros.
    constexpr std::uint64_t kFileSize = std::uint64_t{1} << 32;
    std::string avi = AviHeaderThen("");
    avi.replace(4, 4, Le32(static_cast<std::uint32_t>(kFileSize - 8)));
    WriteSparse(path, kFileSize, avi);
    ExpectAviInfo(path, 25.0, 1500, 60);
    ExpectNoFrameFor(path);
    // The same zeros as entries of an "idx1" end the index at its first entry, and a frame's
    // entry at the far end is not reached.
    const std::uint64_t idx1Data = avi.size() + 8;
    avi += "idx1" + Le32(static_cast<std::uint32_t>(kFileSize - idx1Data));
    const std::uint64_t lastEntry = idx1Data + (kFileSize - idx1Data) / 16 * 16 - 16;
    WriteSparse(path, kFileSize, avi, lastEntry, "00dc" + Le32(0x10) + Le32(4) + Le32(2000));
    ExpectNoFrameFor(path);
}

TEST(HugeFiles, TopLevelOfMoreChunksThanAnyHeaderHoldsIsUnreadable) {
    TempFolder folder;
    const std::string path = folder.File("video.avi");
    const auto withJunkChunks = [](unsigned count) {
        std::string junk;
        for (unsigned i = 0; i < count; ++i) {
            junk += RiffChunk("JUNK", "");
        }
        return AviHeaderThen(junk);
    };
    WriteText(path, withJunkChunks(60000));
    ExpectAviInfo(path, 25.0, 1500, 60);
    WriteText(path, withJunkChunks(70000));
    ExpectAviInfo(path, 1.0, 0, 0);
}

TEST(HugeFiles, Ac3SyncWordIsLookedForInTheFirst16MiBOnly) {
    TempFolder folder;
    std::string path = folder.File("stream.ac3");
    // A sync word ending on the last bit of the first 16 MiB is found; one bit later it is not.
    WriteText(path, Ac3FileWithHeaderAt(kSyncSearchBits - 16, {0, 30, 7, 1}));
    AC3_INFO info = kUntouchedInfo;
    EXPECT_EQ(GetAc3Info(path.data(), &info), 1);
    EXPECT_EQ(info.Bitrate, 448);
    WriteText(path, Ac3FileWithHeaderAt(kSyncSearchBits - 15, {0, 30, 7, 1}));
    ExpectAc3InfoUntouched(path);
    WriteSparse(path, std::uint64_t{8} << 30, "");
    ExpectAc3InfoUntouched(path);
}

TEST(NullPointers, NullPathCannotBeOpenedAndNullOutputsAreNotWritten) {
    TempFolder folder;
    std::string ac3 = folder.File("stream.ac3");
    WriteText(ac3, Ac3FileWithHeaderAt(0, {0, 30, 7, 1}));
    std::string avi = folder.File("video.avi");
    AviTestFile file;
    file.frames = FramesOfSize(1000, 100, 10);
    WriteText(avi, BuildAvi(file));

    AC3_INFO info = kUntouchedInfo;
    EXPECT_EQ(GetAc3Info(nullptr, &info), 0);
    EXPECT_EQ(info.Bitrate, kUntouchedInfo.Bitrate);
    EXPECT_EQ(GetAc3Info(ac3.data(), nullptr), 0);

    double fps = -5.0;
    int32_t frames = -5;
    int32_t seconds = -5;
    EXPECT_EQ(get_avi_info(avi.data(), nullptr, &frames, &seconds), 0);
    EXPECT_EQ(get_avi_info(avi.data(), &fps, nullptr, &seconds), 0);
    EXPECT_EQ(get_avi_info(avi.data(), &fps, &frames, nullptr), 0);
    EXPECT_EQ(fps, -5.0);
    EXPECT_EQ(frames, -5);
    EXPECT_EQ(seconds, -5);
    EXPECT_EQ(get_avi_info(nullptr, &fps, &frames, &seconds), 0);
    EXPECT_EQ(fps, 1.0);
    EXPECT_EQ(frames, 0);

    int32_t frame = kUntouched;
    EXPECT_EQ(filesize2frame(nullptr, 20100, 0, &frame), 0);
    EXPECT_EQ(frame, kUntouched);
    EXPECT_EQ(filesize2frame(avi.data(), 20100, 0, nullptr), -1);

    int32_t size = kUntouched;
    EXPECT_EQ(getfilesize(nullptr, &size), -1);
    EXPECT_EQ(size, kUntouched);
    EXPECT_EQ(getfilesize(avi.data(), nullptr), -1);
}

} // namespace
