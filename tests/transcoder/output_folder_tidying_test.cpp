#include "engines/engine_check.h"
#include "files/naming_record.h"
#include "files/output_folder_tidying.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"
#include "transcoder/ended_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cantova {
namespace {

namespace fs = std::filesystem;
using testing::endedProcessId;
using testing::filesIn;
using Words = std::vector<std::string>;

// A record of the steps as the process `writer` would have left it in folder.
void plantRecord(const TempFolder& folder, pid_t writer, const std::vector<NamingStep>& steps) {
    const fs::path written = folder.Path() / "written";
    fs::create_directory(written);
    {
        NamingRecord record(written.string(), steps);
        const Words names = filesIn(written.string());
        ASSERT_EQ(names.size(), 1u);
        fs::copy_file(written / names[0],
                      folder.File(".cantova-naming-" + std::to_string(writer) + "-1"));
    }
    fs::remove(written);
}

FileIdentity identityOfPath(const std::string& path) {
    return identityAt(path).value();
}

TEST(EngineCheck, FindsOnlyExecutableFilesInTheSearchPath) {
    TempFolder folder;
    fs::create_directories(folder.File("plain"));
    fs::create_directories(folder.File("folder/lame"));
    fs::create_directories(folder.File("bin"));
    WriteText(folder.File("plain/lame"), "not executable");
    const std::string without = folder.File("plain") + ":" + folder.File("folder");
    EXPECT_FALSE(foundInSearchPath("lame", without));
    WriteText(folder.File("bin/lame"), "#!/bin/sh\n");
    fs::permissions(folder.File("bin/lame"), fs::perms::owner_all);
    EXPECT_TRUE(foundInSearchPath("lame", without + ":" + folder.File("bin")));
    EXPECT_FALSE(foundInSearchPath("oggenc", without + ":" + folder.File("bin")));
}

TEST(NamingRecords, OfALivingProcessAreLeftAlone) {
    TempFolder folder;
    WriteText(folder.File("Stream1.wav"), "new");
    WriteText(folder.File(".Stream1.replaced-" + std::to_string(::getpid()) + "-0.wav"), "old");
    NamingRecord record(
        folder.Path().string(),
        {{"Stream1.wav", ".Stream1.replaced-" + std::to_string(::getpid()) + "-0.wav",
          identityOfPath(folder.File("Stream1.wav"))}});
    const Words before = filesIn(folder.Path().string());
    EXPECT_TRUE(settleNamingRecords(folder.Path().string()).empty());
    EXPECT_EQ(filesIn(folder.Path().string()), before);
    EXPECT_EQ(ReadText(folder.File("Stream1.wav")), "new");
}

TEST(NamingRecords, NeverTakeANameFromAFileTheRunDidNotWrite) {
    // The run moved the old file aside and was killed; someone else has written the name since.
    TempFolder folder;
    const std::string ended = std::to_string(endedProcessId());
    const std::string aside = ".Stream1.replaced-" + ended + "-0.wav";
    WriteText(folder.File(aside), "old");
    WriteText(folder.File("Stream1.wav"), "someone else's");
    WriteText(folder.File("new"), "the run's");
    plantRecord(folder, std::stoi(ended),
                {{"Stream1.wav", aside, identityOfPath(folder.File("new"))}});
    fs::remove(folder.File("new"));
    const std::vector<std::string> lines = settleNamingRecords(folder.Path().string());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("the old Stream1.wav is kept as " + aside), std::string::npos)
        << lines[0];
    EXPECT_EQ(ReadText(folder.File("Stream1.wav")), "someone else's");
    EXPECT_EQ(ReadText(folder.File(aside)), "old");
    // The record stays, for a later run to put the old file back once the name is free.
    fs::remove(folder.File("Stream1.wav"));
    EXPECT_EQ(settleNamingRecords(folder.Path().string()).size(), 1u);
    EXPECT_EQ(filesIn(folder.Path().string()), Words{"Stream1.wav"});
    EXPECT_EQ(ReadText(folder.File("Stream1.wav")), "old");
}

TEST(NamingRecords, ThatNameFilesBeyondAJobsOwnAreRemovedUnread) {
    // Records that would make the next run move or remove files other than a job's outputs
    // and their aside names, in its own folder.
    TempFolder folder;
    const pid_t ended = endedProcessId();
    WriteText(folder.File("keep.txt"), "precious");
    const FileIdentity precious = identityOfPath(folder.File("keep.txt"));
    const std::string otherAside = ".keep.replaced-" + std::to_string(ended + 1) + "-0.txt";
    WriteText(folder.File(otherAside), "other");
    const std::vector<std::vector<NamingStep>> planted = {
        {{"../keep.txt", "", precious}},
        {{"Stream1.wav", "../keep.txt", precious}},
        {{"keep.txt", otherAside, FileIdentity{}}},
        {{"Stream1.wav", "keep.txt", FileIdentity{}}},
    };
    for (const auto& steps : planted) {
        plantRecord(folder, ended, steps);
        EXPECT_TRUE(settleNamingRecords(folder.Path().string()).empty());
        EXPECT_EQ(filesIn(folder.Path().string()), (Words{otherAside, "keep.txt"}));
        EXPECT_EQ(ReadText(folder.File("keep.txt")), "precious");
    }
    WriteText(folder.File(".cantova-naming-" + std::to_string(ended) + "-2"), "cut short");
    EXPECT_TRUE(settleNamingRecords(folder.Path().string()).empty());
    EXPECT_EQ(filesIn(folder.Path().string()), (Words{otherAside, "keep.txt"}));
}

} // namespace
} // namespace cantova
