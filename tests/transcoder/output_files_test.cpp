#include "files/output_files.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace cantova {
namespace {

namespace fs = std::filesystem;
using testing::filesIn;
using Words = std::vector<std::string>;

const Words kSix = {"FL", "FR", "FC", "LFE", "SL", "SR"};

void writeAll(const OutputFiles& files, const std::string& text) {
    for (int fd : files.descriptors()) {
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
}

TEST(OutputFiles, AreNamelessUntilCommittedAndGoneWhenNot) {
    TempFolder folder;
    {
        OutputFiles files(folder.File("Stream1.wav"), kSix);
        writeAll(files, "half written");
        EXPECT_TRUE(filesIn(folder.Path().string()).empty());
    }
    EXPECT_TRUE(filesIn(folder.Path().string()).empty());

    OutputFiles files(folder.File("Stream1.wav"), {});
    writeAll(files, "new");
    files.commit();
    EXPECT_EQ(ReadText(folder.File("Stream1.wav")), "new");
}

TEST(OutputFiles, ReplaceWhatWasThereAtTheStartButNotWhatAppearedSince) {
    TempFolder folder;
    WriteText(folder.File("Stream1.mp3"), "old");
    {
        OutputFiles files(folder.File("Stream1.mp3"), {});
        writeAll(files, "new");
        files.commit();
    }
    EXPECT_EQ(ReadText(folder.File("Stream1.mp3")), "new");
    EXPECT_EQ(filesIn(folder.Path().string()), Words{"Stream1.mp3"});

    OutputFiles late(folder.File("Stream2.mp3"), {});
    writeAll(late, "mine");
    WriteText(folder.File("Stream2.mp3"), "theirs");
    EXPECT_THROW(
        {
            try {
                late.commit();
            } catch (const std::runtime_error& error) {
                EXPECT_EQ(std::string(error.what()),
                          "the output " + folder.File("Stream2.mp3") + " appeared during the run");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(ReadText(folder.File("Stream2.mp3")), "theirs");

    // A file that was there, but was replaced by another during the run, is not replaced.
    WriteText(folder.File("Stream3.mp3"), "old");
    OutputFiles replaced(folder.File("Stream3.mp3"), {});
    writeAll(replaced, "mine");
    WriteText(folder.File("other"), "theirs");
    fs::rename(folder.File("other"), folder.File("Stream3.mp3"));
    EXPECT_THROW(replaced.commit(), std::runtime_error);
    EXPECT_EQ(ReadText(folder.File("Stream3.mp3")), "theirs");
}

TEST(OutputFiles, PutEveryOldFileBackWhenOneNameCannotBeGiven) {
    TempFolder folder;
    for (const std::string name : {"FL", "FR", "SR"}) {
        WriteText(folder.File("Stream1_" + name + ".wav"), "old " + name);
    }
    OutputFiles files(folder.File("Stream1.wav"), kSix);
    writeAll(files, "new");
    fs::create_directory(folder.File("Stream1_FC.wav")); // the third name is taken meanwhile
    EXPECT_THROW(files.commit(), std::runtime_error);
    for (const std::string name : {"FL", "FR", "SR"}) {
        EXPECT_EQ(ReadText(folder.File("Stream1_" + name + ".wav")), "old " + name);
    }
    EXPECT_EQ(filesIn(folder.Path().string()),
              (Words{"Stream1_FC.wav", "Stream1_FL.wav", "Stream1_FR.wav", "Stream1_SR.wav"}));
}

TEST(OutputFiles, RefuseAFolderOrAnEmptyOutput) {
    TempFolder folder;
    fs::create_directory(folder.File("Stream1.wav"));
    EXPECT_THROW(OutputFiles(folder.File("Stream1.wav"), {}), std::runtime_error);
    OutputFiles empty(folder.File("Stream2.wav"), {});
    EXPECT_THROW(empty.commit(), std::runtime_error);
    EXPECT_EQ(filesIn(folder.Path().string()), Words{"Stream1.wav"});
}

} // namespace
} // namespace cantova
