#include "tracklens/tracklens.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr int32_t kUntouched = -77;

struct Answer {
    int result;
    int32_t size;
};

Answer SizeOf(std::string path) {
    Answer answer{-5, kUntouched};
    answer.result = getfilesize(path.data(), &answer.size);
    return answer;
}

TEST(FileSize, SizeInBytesUpToTheLargest31BitValue) {
    TempFolder folder;
    const std::string path = folder.File("data.bin");
    WriteText(path, "");
    EXPECT_EQ(SizeOf(path).size, 0);
    WriteText(path, "12345");
    const Answer five = SizeOf(path);
    EXPECT_EQ(five.result, 0);
    EXPECT_EQ(five.size, 5);
    std::filesystem::resize_file(path, 0x7FFFFFFF);
    EXPECT_EQ(SizeOf(path).size, 0x7FFFFFFF);
}

TEST(FileSize, LargerFilesMissingFilesAndFoldersGiveMinusOneWithSizeUntouched) {
    TempFolder folder;
    const std::string path = folder.File("large.bin");
    WriteText(path, "");
    for (std::uintmax_t size : {0x80000000ull, 0x100000005ull}) {
        std::filesystem::resize_file(path, size);
        const Answer answer = SizeOf(path);
        EXPECT_EQ(answer.result, -1) << size;
        EXPECT_EQ(answer.size, kUntouched) << size;
    }
    for (const std::string& other : {folder.File("absent.bin"), folder.Path().string()}) {
        const Answer answer = SizeOf(other);
        EXPECT_EQ(answer.result, -1) << other;
        EXPECT_EQ(answer.size, kUntouched) << other;
    }
}

TEST(Version, IsTheConstantText) {
    EXPECT_STREQ(get_version(), "1.06");
    EXPECT_EQ(get_version(), get_version());
}

} // namespace
