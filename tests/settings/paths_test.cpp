#include "settings/paths.h"

#include "support/temp_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settings = cantova::settings;

namespace {

TEST(PathsTest, ShortPathOfIsThePathWhenItExists) {
    TempFolder folder;
    const std::string file = folder.File("a b.ac3");
    WriteText(file, "x");
    EXPECT_EQ(settings::ShortPathOf(file), file);
    EXPECT_EQ(settings::ShortPathOf(folder.Path().string()), folder.Path().string());
    EXPECT_EQ(settings::ShortPathOf(folder.File("missing")), "");
    EXPECT_EQ(settings::ShortPathOf(""), "");
}

TEST(PathsTest, FileExistOnlyForReadableFiles) {
    TempFolder folder;
    const std::string file = folder.File("a.aud");
    WriteText(file, "");
    EXPECT_TRUE(settings::FileExist(file));
    EXPECT_FALSE(settings::FileExist(folder.Path().string()));
    EXPECT_FALSE(settings::FileExist(folder.File("missing")));
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_TRUE(settings::FileExist(pipe));
    if (geteuid() != 0) {
        chmod(file.c_str(), 0);
        EXPECT_FALSE(settings::FileExist(file));
    }
}

TEST(PathsTest, DeleteFileRemovesFilesOnly) {
    TempFolder folder;
    const std::string file = folder.File("old.log");
    WriteText(file, "log");
    EXPECT_TRUE(settings::DeleteFile(file));
    EXPECT_FALSE(settings::FileExist(file));
    EXPECT_FALSE(settings::DeleteFile(file));
    EXPECT_FALSE(settings::DeleteFile(folder.Path().string()));
}

class HomeFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("HOME")) {
            saved_ = home;
        }
    }
    void TearDown() override {
        if (saved_) {
            setenv("HOME", saved_->c_str(), 1);
        } else {
            unsetenv("HOME");
        }
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(HomeFolderTest, HomeComesFromEnvironmentElsePasswordEntry) {
    setenv("HOME", "/home/with blank", 1);
    EXPECT_EQ(settings::HomeFolder(), "/home/with blank");
    EXPECT_EQ(settings::TranscoderLogPath(), "/home/with blank/Audio_Stream.log");

    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    unsetenv("HOME");
    EXPECT_EQ(settings::HomeFolder(), entry->pw_dir);
    setenv("HOME", "", 1);
    EXPECT_EQ(settings::HomeFolder(), entry->pw_dir);
}

TEST(PathsTest, ProgramFolderHoldsTheRunningTest) {
    const std::string folder = settings::ProgramFolder();
    EXPECT_FALSE(folder.ends_with('/'));
    EXPECT_TRUE(settings::FileExist(folder + "/settings_tests"));
}

} // namespace
