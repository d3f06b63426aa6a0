// The engines the transcoder needs, looked for along the search path as the transcoder looks.

#include "app/engines.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using cantova::app::MissingEngines;
using cantova::app::MissingEnginesNotice;

std::vector<std::string> Names(const std::vector<cantova::app::Engine>& engines) {
    std::vector<std::string> names;
    for (const auto& engine : engines) {
        names.push_back(engine.program + "/" + engine.package);
    }
    return names;
}

void MakeProgram(const fs::path& path, fs::perms permissions) {
    WriteText(path.string(), "#!/bin/sh\n");
    fs::permissions(path, permissions);
}

TEST(Engines, OnlyExecutableFilesOnTheSearchPathCount) {
    const TempFolder temp;
    fs::create_directories(temp.Path() / "a");
    fs::create_directories(temp.Path() / "b/oggenc");
    MakeProgram(temp.Path() / "a/ffmpeg", fs::perms::owner_all);
    MakeProgram(temp.Path() / "b/lame", fs::perms::owner_read | fs::perms::owner_write);
    const std::string path = temp.File("a") + ":" + temp.File("b");
    // lame cannot be run, oggenc is a folder.
    EXPECT_EQ(Names(MissingEngines(path.c_str())),
              (std::vector<std::string>{"lame/lame", "oggenc/vorbis-tools"}));
    MakeProgram(temp.Path() / "a/oggenc", fs::perms::owner_all);
    MakeProgram(temp.Path() / "b/lame", fs::perms::owner_all);
    EXPECT_TRUE(MissingEngines(path.c_str()).empty());
    EXPECT_EQ(MissingEngines("").size(), 3u);
}

TEST(Engines, TheNoticeNamesEachProgramAndItsPackage) {
    EXPECT_EQ(MissingEnginesNotice({}), std::nullopt);
    const std::string notice =
        MissingEnginesNotice({{"ffmpeg", "ffmpeg"}, {"oggenc", "vorbis-tools"}}).value();
    EXPECT_NE(notice.find("\nffmpeg (Debian package ffmpeg)\noggenc (Debian package "
                          "vorbis-tools)\n"),
              std::string::npos)
        << notice;
    EXPECT_TRUE(notice.ends_with("sudo apt install ffmpeg vorbis-tools")) << notice;
}

} // namespace
