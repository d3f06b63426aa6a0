#include "engines/engine_check.h"
#include "files/naming_record.h"
#include "files/output_folder_tidying.h"
#include "files/parts_record.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"
#include "transcoder/ended_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <map>
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

RecordedFile recorded(const std::string& path) {
    return recordedFileAt(path).value();
}

// Every file's content by name, so that a test can see that nothing was touched.
std::map<std::string, std::string> contents(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : filesIn(folder.Path().string())) {
        files[name] = ReadText(folder.File(name));
    }
    return files;
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
    const std::string aside = ".Stream1.replaced-" + std::to_string(::getpid()) + "-0.wav";
    NamingRecord record(folder.Path().string(),
                        {{"Stream1.wav", aside, recorded(folder.File("Stream1.wav")),
                          recorded(folder.File(aside))}});
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
    plantRecord(
        folder, std::stoi(ended),
        {{"Stream1.wav", aside, recorded(folder.File("new")), recorded(folder.File(aside))}});
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
    // Records that would make the next run move or remove files other than one job's outputs
    // and their aside names, in its own folder.
    TempFolder folder;
    const pid_t ended = endedProcessId();
    WriteText(folder.File("keep.txt"), "precious");
    WriteText(folder.File("thesis.odt"), "chapter one");
    WriteText(folder.File("Take_FL.wav"), "a take");
    const RecordedFile precious = recorded(folder.File("keep.txt"));
    const std::string otherAside = ".keep.replaced-" + std::to_string(ended + 1) + "-0.txt";
    WriteText(folder.File(otherAside), "other");
    const RecordedFile none;
    const std::vector<std::vector<NamingStep>> planted = {
        {{"../keep.txt", "", precious, {}}},
        {{"Stream1.wav", "../keep.txt", none, precious}},
        {{"keep.txt", otherAside, none, recorded(folder.File(otherAside))}},
        {{"Stream1.wav", "keep.txt", none, precious}},
        // A name no job writes, with its file's identity, beside a step that is not finished.
        {{"thesis.odt", "", recorded(folder.File("thesis.odt")), {}},
         {"Stream1.wav", "", none, {}}},
        // Two outputs are not the six files of one job.
        {{"Take_FL.wav", "", recorded(folder.File("Take_FL.wav")), {}},
         {"Take_FR.wav", "", none, {}}},
    };
    const auto before = contents(folder);
    for (const auto& steps : planted) {
        plantRecord(folder, ended, steps);
        const std::vector<std::string> lines = settleNamingRecords(folder.Path().string());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], "tidy: removed .cantova-naming-" + std::to_string(ended) +
                                "-1, a naming record cut short or naming files no job writes; "
                                "nothing else touched");
        EXPECT_EQ(contents(folder), before);
    }
    WriteText(folder.File(".cantova-naming-" + std::to_string(ended) + "-2"), "cut short");
    EXPECT_EQ(settleNamingRecords(folder.Path().string()).size(), 1u);
    EXPECT_EQ(contents(folder), before);
}

TEST(NamingRecords, RemoveOnlyTheFilesTheyRecordedAndSaySo) {
    // A -6ch job killed half way: FL named, FR's old file moved aside. Since then FL was
    // rewritten in place (the same inode, as a recycled one would be) and another file took
    // the place of SL's aside name: neither is the run's.
    TempFolder folder;
    const std::string ended = std::to_string(endedProcessId());
    const Words suffixes = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    std::vector<NamingStep> steps;
    for (const std::string& suffix : suffixes) {
        steps.push_back({"Take_" + suffix + ".wav", "", RecordedFile{}, {}});
    }
    WriteText(folder.File("Take_FL.wav"), "the run's FL");
    steps[0].newFile = recorded(folder.File("Take_FL.wav"));
    for (const int i : {1, 4}) {
        steps[i].asideName = ".Take_" + suffixes[i] + ".replaced-" + ended + "-0.wav";
        WriteText(folder.File(steps[i].asideName), "old " + suffixes[i]);
        steps[i].oldFile = recorded(folder.File(steps[i].asideName));
    }
    plantRecord(folder, std::stoi(ended), steps);
    std::ofstream(folder.File("Take_FL.wav"), std::ios::app) << ", then the user's";
    fs::remove(folder.File(steps[4].asideName));
    WriteText(folder.File(steps[4].asideName), "someone's");

    const std::vector<std::string> lines = settleNamingRecords(folder.Path().string());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "tidy: undid the naming of Take_FL.wav, Take_FR.wav, Take_FC.wav, "
                        "Take_LFE.wav, Take_SL.wav, Take_SR.wav that an ended run began; the old "
                        "files put back: Take_FR.wav; " +
                            steps[4].asideName +
                            " is kept: it is not the file the run moved aside");
    EXPECT_EQ(ReadText(folder.File("Take_FL.wav")), "the run's FL, then the user's");
    EXPECT_EQ(ReadText(folder.File("Take_FR.wav")), "old FR");
    EXPECT_EQ(ReadText(folder.File(steps[4].asideName)), "someone's");

    // Finished, but the old file waiting aside is no longer the one moved there.
    TempFolder finished;
    const std::string aside = ".Stream1.replaced-" + ended + "-0.wav";
    WriteText(finished.File("Stream1.wav"), "new");
    WriteText(finished.File(aside), "old");
    plantRecord(finished, std::stoi(ended),
                {{"Stream1.wav", aside, recorded(finished.File("Stream1.wav")),
                  recorded(finished.File(aside))}});
    std::ofstream(finished.File(aside), std::ios::app) << " and changed";
    EXPECT_EQ(settleNamingRecords(finished.Path().string()),
              Words{"tidy: finished the naming of Stream1.wav that an ended run began; " + aside +
                    " is kept: it is not the file the run moved aside"});
    EXPECT_EQ(ReadText(finished.File(aside)), "old and changed");
}

TEST(NamingRecords, OfTheEarlierVersionRemoveNothing) {
    // Written the old way (device and inode only): FL holds the recorded file and its old file
    // waits aside; SR's old file waits aside and its name is free.
    TempFolder folder;
    const std::string ended = std::to_string(endedProcessId());
    const Words suffixes = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    WriteText(folder.File("Take_FL.wav"), "new FL");
    const FileIdentity fl = identityAt(folder.File("Take_FL.wav")).value();
    std::string text = std::string("cantova naming record 1") + '\0';
    for (const std::string& suffix : suffixes) {
        const std::string aside = suffix == "FL" || suffix == "SR"
                                      ? ".Take_" + suffix + ".replaced-" + ended + "-0.wav"
                                      : "";
        if (!aside.empty()) {
            WriteText(folder.File(aside), "old " + suffix);
        }
        const FileIdentity identity = suffix == "FL" ? fl : FileIdentity{};
        for (const std::string& field :
             {"Take_" + suffix + ".wav", aside, std::to_string(identity.device),
              std::to_string(identity.inode)}) {
            text += field + '\0';
        }
    }
    WriteText(folder.File(".cantova-naming-" + ended + "-1"), text);
    const std::vector<std::string> lines = settleNamingRecords(folder.Path().string());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "tidy: a naming record of an earlier version, of a run that ended naming "
                        "Take_FL.wav, Take_FR.wav, Take_FC.wav, Take_LFE.wav, Take_SL.wav, "
                        "Take_SR.wav, removes nothing (it cannot show which files the run "
                        "wrote); the old files put back: Take_SR.wav; the old Take_FL.wav is kept "
                        "as .Take_FL.replaced-" +
                            ended + "-0.wav");
    EXPECT_EQ(filesIn(folder.Path().string()),
              (Words{".Take_FL.replaced-" + ended + "-0.wav", "Take_FL.wav", "Take_SR.wav"}));
}

TEST(TemporaryOutputs, OnlyThoseARecordOfTheEndedRunListsAreRemoved) {
    TempFolder folder;
    const std::string ended = std::to_string(endedProcessId());
    const std::string listed = ".Stream1.part-" + ended + "-1.wav";
    const std::string replaced = ".Stream2.part-" + ended + "-2.wav";
    const std::string otherRun = ".Stream3.part-" + std::to_string(std::stoi(ended) + 1) + "-1.wav";
    const std::string unlisted = ".holiday.part-" + ended + "-2.WAV";
    for (const std::string& name : {listed, replaced, otherRun, unlisted}) {
        WriteText(folder.File(name), "audio");
    }
    {
        PartsRecord record(folder.Path().string());
        for (const std::string& name : {listed, replaced, otherRun}) {
            const int fd = ::open(folder.File(name).c_str(), O_RDONLY);
            record.add(name, fd);
            ::close(fd);
        }
        const Words names = filesIn(folder.Path().string());
        const auto own = std::find_if(names.begin(), names.end(), [](const std::string& name) {
            return name.starts_with(".cantova-parts-");
        });
        ASSERT_NE(own, names.end());
        // The record of a living run is left alone.
        EXPECT_TRUE(removeRecordedParts(folder.Path().string()).empty());
        EXPECT_TRUE(fs::exists(folder.File(*own)));
        fs::copy_file(folder.File(*own), folder.File(".cantova-parts-" + ended + "-1"));
    }
    WriteText(folder.File("user's"), "the user's, under the same name");
    fs::rename(folder.File("user's"), folder.File(replaced)); // another inode

    EXPECT_EQ(removeRecordedParts(folder.Path().string()), Words{listed});
    EXPECT_EQ(filesIn(folder.Path().string()), (Words{replaced, otherRun, unlisted}));
}

} // namespace
} // namespace cantova
