#include "settings/ini_file.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using cantova::settings::ReadIniValue;
using cantova::settings::WriteIniValue;
using cantova::settings::WriteIniValues;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.File("profile.aud");
};

TEST_F(IniFileTest, KeysAreStoredInUpperCaseAndFoundUnderAnyCase) {
    ASSERT_TRUE(WriteIniValue("Advanced", "Use_LFE_to_LR", "1", path));
    EXPECT_EQ(ReadText(path), "[Advanced]\nUSE_LFE_TO_LR=1\n");
    for (const char* key : {"Use_LFE_to_LR", "use_lfe_to_lr", "USE_LFE_TO_LR", "uSe_LfE_tO_lR"}) {
        EXPECT_EQ(ReadIniValue("Advanced", key, path), "1") << key;
    }
    EXPECT_EQ(ReadIniValue("ADVANCED", "Use_LFE_to_LR", path), "1");
    ASSERT_TRUE(WriteIniValue("advanced", "use_lfe_to_lr", "0", path));
    EXPECT_EQ(ReadText(path), "[Advanced]\nUSE_LFE_TO_LR=0\n");
}

TEST_F(IniFileTest, LongValueIsReadBackAsItsFirst749Characters) {
    std::string value;
    for (int i = 0; i < 800; ++i) {
        value += static_cast<char>('a' + i % 26);
    }
    ASSERT_TRUE(WriteIniValue("S", "K", value, path));
    EXPECT_EQ(ReadIniValue("S", "K", path), value.substr(0, 749));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsAsEmptyText) {
    EXPECT_EQ(ReadIniValue("S", "K", path), "");
    WriteText(path, "[S]\nK=1\nNOEQUALS\n[T]\n");
    EXPECT_EQ(ReadIniValue("X", "K", path), "");
    EXPECT_EQ(ReadIniValue("S", "X", path), "");
    EXPECT_EQ(ReadIniValue("S", "NOEQUALS", path), "");
    EXPECT_EQ(ReadIniValue("T", "K", path), "");
    EXPECT_EQ(ReadIniValue("S", "K", folder.Path().string()), "");
}

TEST_F(IniFileTest, ReadDropsBlanksAndOnePairOfQuotes) {
    WriteText(path,
              "[S]\r\n  a \t=\t  spaced value  \r\nB=\" quoted \"\r\nC=\"\"x\"\"\r\nD=\"open\r\n"
              "E=;not a comment\r\n; F=comment\r\n");
    EXPECT_EQ(ReadIniValue("S", "A", path), "spaced value");
    EXPECT_EQ(ReadIniValue("S", "B", path), " quoted ");
    EXPECT_EQ(ReadIniValue("S", "C", path), "\"x\"");
    EXPECT_EQ(ReadIniValue("S", "D", path), "\"open");
    EXPECT_EQ(ReadIniValue("S", "E", path), ";not a comment");
    EXPECT_EQ(ReadIniValue("S", "F", path), "");
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWinWhenDuplicated) {
    WriteText(path, "[S]\nK=first\nK=second\n[s]\nK=other\nL=other\n");
    EXPECT_EQ(ReadIniValue("S", "K", path), "first");
    EXPECT_EQ(ReadIniValue("S", "L", path), "");
    ASSERT_TRUE(WriteIniValue("S", "K", "new", path));
    EXPECT_EQ(ReadText(path), "[S]\nK=new\nK=second\n[s]\nK=other\nL=other\n");
}

TEST_F(IniFileTest, ReplaceKeepsEveryOtherLineByteForByte) {
    const std::string before = "; profile\r\n\r\n[Main]\r\nfirst = 1\r\n  delay=-24  \r\n"
                               "junk line\r\n; tail comment\r\n\r\n[Next]\r\nDELAY=0";
    WriteText(path, before);
    ASSERT_TRUE(WriteIniValue("Main", "Delay", "-30", path));
    EXPECT_EQ(ReadText(path), "; profile\r\n\r\n[Main]\r\nfirst = 1\r\nDELAY=-30\r\n"
                              "junk line\r\n; tail comment\r\n\r\n[Next]\r\nDELAY=0");
    ASSERT_TRUE(WriteIniValue("Next", "Delay", "5", path));
    EXPECT_EQ(ReadIniValue("Next", "DELAY", path), "5");
    EXPECT_EQ(ReadIniValue("Main", "DELAY", path), "-30");
}

TEST_F(IniFileTest, NewKeyFollowsTheLastKeyOfItsSection) {
    WriteText(path, "[A]\nX=1\n; about B\n\n[B]\n[C]\nY=2");
    ASSERT_TRUE(WriteIniValue("a", "New", "v", path));
    ASSERT_TRUE(WriteIniValue("B", "Other", "w", path));
    ASSERT_TRUE(WriteIniValue("C", "Last", "z", path));
    EXPECT_EQ(ReadText(path), "[A]\nX=1\nNEW=v\n; about B\n\n[B]\nOTHER=w\n[C]\nY=2\nLAST=z\n");
}

TEST_F(IniFileTest, NewSectionIsAppendedWithTheFileLineEnd) {
    WriteText(path, "[AUDIO]\r\nNUMBER=2");
    ASSERT_TRUE(WriteIniValue("STREAM1", "File", "/rips/a b.aud", path));
    ASSERT_TRUE(WriteIniValue("STREAM1", "StreamCopy", "0", path));
    EXPECT_EQ(ReadText(path),
              "[AUDIO]\r\nNUMBER=2\r\n[STREAM1]\r\nFILE=/rips/a b.aud\r\nSTREAMCOPY=0\r\n");
}

TEST_F(IniFileTest, RefusedAndFailedWritesLeaveTheFileAlone) {
    WriteText(path, "[S]\nK=1\n");
    EXPECT_FALSE(WriteIniValue("S", "K", "two\nlines", path));
    EXPECT_FALSE(WriteIniValue("S", "K", "cr\r", path));
    EXPECT_FALSE(WriteIniValue("S", "", "v", path));
    EXPECT_FALSE(WriteIniValue("", "K", "v", path));
    EXPECT_FALSE(WriteIniValue("S]", "K", "v", path));
    EXPECT_FALSE(WriteIniValue("S", "K=", "v", path));
    EXPECT_FALSE(WriteIniValue("S", ";K", "v", path));
    EXPECT_EQ(ReadText(path), "[S]\nK=1\n");

    EXPECT_FALSE(WriteIniValue("S", "K", "v", folder.File("missing/profile.aud")));
    EXPECT_FALSE(WriteIniValue("S", "K", "v", folder.Path().string()));
}

TEST_F(IniFileTest, ManyEntriesAtOnceGiveTheFileThatSingleWritesGive) {
    const std::string single = folder.File("single.ini");
    WriteText(path, "; kept\r\n[B]\r\nx=0\r\n");
    WriteText(single, "; kept\r\n[B]\r\nx=0\r\n");
    const std::vector<cantova::settings::IniEntry> entries{{"A", "One", "1"},
                                                           {"b", "X", "2"},
                                                           {"A", "Two", " 2 "},
                                                           {"C", "bad", "a\nb"},
                                                           {"A", "one", "3"}};
    EXPECT_FALSE(WriteIniValues(entries, path)) << "one entry cannot be stored";
    for (const auto& entry : entries) {
        WriteIniValue(entry.section, entry.key, entry.value, single);
    }
    EXPECT_EQ(ReadText(path), ReadText(single));
    EXPECT_EQ(ReadText(path), "; kept\r\n[B]\r\nX=2\r\n[A]\r\nONE=3\r\nTWO= 2 \r\n");
    EXPECT_TRUE(WriteIniValues({}, folder.File("none.ini")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.ini")));
}

// A new file's text is made in one pass; it must be the file that single writes make.
TEST_F(IniFileTest, ANewFilesTextIsTheFileThatSingleWritesMake) {
    const std::vector<cantova::settings::IniEntry> entries{{"Audio", "Number", "2"},
                                                           {" Stream1 ", "File", "/a/b.aud"},
                                                           {"stream1", " input ", "x"},
                                                           {"AUDIO", "number", "3"},
                                                           {"S]", "K", "v"},
                                                           {"Stream2", "K=", "v"},
                                                           {"Stream2", "File", "\"q\""},
                                                           {"Stream1", "File", ""},
                                                           {"Stream2", "k", "a\rb"}};
    for (const auto& entry : entries) {
        WriteIniValue(entry.section, entry.key, entry.value, path);
    }
    bool complete = true;
    EXPECT_EQ(cantova::settings::FormatIniFile(entries, &complete), ReadText(path));
    EXPECT_FALSE(complete);
    EXPECT_EQ(ReadText(path),
              "[Audio]\nNUMBER=3\n[Stream1]\nFILE=\nINPUT=x\n[Stream2]\nFILE=\"q\"\n");
    EXPECT_EQ(cantova::settings::FormatIniFile({}), "");
}

TEST_F(IniFileTest, WriteGoesThroughASymbolicLinkAndKeepsPermissions) {
    const std::string target = folder.File("target.ini");
    WriteText(target, "[S]\nK=1\n");
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read);
    std::filesystem::create_symlink(target, path);
    ASSERT_TRUE(WriteIniValue("S", "K", "2", path));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadText(target), "[S]\nK=2\n");
    EXPECT_EQ(std::filesystem::status(target).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
}

TEST_F(IniFileTest, NewFileGetsTheUsualPermissions) {
    const mode_t saved = umask(027);
    const bool written = WriteIniValue("S", "K", "1", path);
    umask(saved);
    ASSERT_TRUE(written);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(IniFileTest, WriteInReadOnlyFolderFailsWithoutDamage) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write into read-only folders";
    }
    WriteText(path, "[S]\nK=1\n");
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(WriteIniValue("S", "K", "2", path));
    EXPECT_EQ(ReadIniValue("S", "K", path), "1");
}

} // namespace
