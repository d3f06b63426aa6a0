#include "files/written_length.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace cantova {
namespace {

using testing::decodedSeconds;
using testing::programsAvailable;
using testing::runFfmpeg;
using testing::runProgram;

// The length read from the frames of files the engines wrote, whole and cut in half, against
// what ffmpeg decodes of them.
TEST(WrittenLength, IsWhatADecoderPlaysOfWholeAndOfCutFiles) {
    if (!programsAvailable({"ffmpeg", "lame", "oggenc"})) {
        GTEST_SKIP() << "ffmpeg, lame or oggenc is not installed";
    }
    TempFolder folder;
    const std::string wave = folder.File("source.wav");
    runFfmpeg({"-f", "lavfi", "-i", "anoisesrc=r=44100:a=0.3:d=1.3", "-ac", "2", wave});
    const std::vector<std::pair<Target, std::string>> files = {
        {Target::Wav, wave},
        {Target::Ac3, folder.File("a.ac3")},
        {Target::Mp3, folder.File("a.mp3")},
        {Target::Mp3, folder.File("mpeg2.mp3")},
        {Target::Ogg, folder.File("a.ogg")},
        {Target::Opus, folder.File("a.opus")}};
    runFfmpeg({"-i", wave, "-c:a", "ac3", "-b:a", "192k", files[1].second});
    // Pages of a tenth of a second, so that half the file holds complete ones.
    runFfmpeg({"-i", wave, "-c:a", "libopus", "-b:a", "128k", "-page_duration", "100000",
               files[5].second});
    ASSERT_EQ(runProgram({"lame", "--quiet", "-V", "2", wave, files[2].second}).exitCode, 0);
    ASSERT_EQ(
        runProgram({"lame", "--quiet", "-b", "64", "--resample", "22.05", wave, files[3].second})
            .exitCode,
        0);
    ASSERT_EQ(runProgram({"oggenc", "--quiet", "-q", "5", "-o", files[4].second, wave}).exitCode,
              0);
    for (const auto& [target, path] : files) {
        SCOPED_TRACE(path);
        const double frame = frameSamples(target) / 22050.0;
        for (bool cut : {false, true}) {
            if (cut) {
                std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
            }
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            const std::optional<WrittenLength> length = writtenLength(fd, target);
            ::close(fd);
            ASSERT_TRUE(length.has_value());
            const double played = decodedSeconds(path);
            if (!cut) {
                EXPECT_NEAR(played, 1.3, 0.001 + frame);
                EXPECT_NEAR(length->seconds, played, 0.001);
                continue;
            }
            // Of a file cut short, no more than a decoder plays (the encoder's padding at the
            // end may be counted off although the end is missing).
            EXPECT_LT(length->seconds, 1.0);
            EXPECT_LE(length->seconds, played + 0.001);
            EXPECT_GE(length->seconds, played - frame);
        }
    }
}

} // namespace
} // namespace cantova
