// The library's dynamic symbol table holds the six functions of its header and nothing else of
// its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
    const std::string command =
        std::string(TRACKLENS_NM) + " -D --defined-only --format=posix '" + library + "'";
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[4096];
    while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        names.insert(name);
    }
    EXPECT_EQ(pipe == nullptr ? -1 : pclose(pipe), 0) << command;
    return names;
}

TEST(Exports, ExactlyTheSixFunctions) {
    const std::set<std::string> expected = {"GetAc3Info",  "filesize2frame", "get_avi_info",
                                            "get_version", "getfilesize",    "ListAudioTracks"};
    EXPECT_EQ(DefinedDynamicSymbols(TRACKLENS_LIBRARY), expected);
}

} // namespace
