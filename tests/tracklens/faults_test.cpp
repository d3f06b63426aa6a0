// What the exports do with paths that are no regular file. A probe that hangs is stopped by the
// tests' CTest time-out.

#include "tracklens/tracklens.h"

#include "ac3_stream_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr AC3_INFO kUntouchedInfo{-7, -7, -7};
constexpr int32_t kUntouched = -77;

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

} // namespace
