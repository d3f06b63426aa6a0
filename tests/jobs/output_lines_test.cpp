// Cutting a child's output into lines as chunks arrive, and reading its progress lines.

#include "jobs/output_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cantova::jobs::OutputLineSplitter;
using cantova::jobs::ParseProgressLine;
using Lines = std::vector<std::string>;

Lines Split(const std::vector<std::string>& chunks) {
    Lines lines;
    const auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    OutputLineSplitter splitter;
    for (const std::string& chunk : chunks) {
        splitter.feed(chunk, collect);
    }
    splitter.finish(collect);
    return lines;
}

TEST(OutputLineSplitter, ALineCutAcrossChunksArrivesWhole) {
    EXPECT_EQ(Split({"prog", "ress 4", "5%\nprogress 5", "0%\n"}),
              (Lines{"progress 45%", "progress 50%"}));
}

TEST(OutputLineSplitter, CarriageReturnEndsALineAndPairsWithAFollowingLineFeed) {
    EXPECT_EQ(Split({"a\rb\r\nc\n"}), (Lines{"a", "b", "c"}));
    EXPECT_EQ(Split({"a\r", "\nb\r", "c"}), (Lines{"a", "b", "c"})) << "a pair split across chunks";
    EXPECT_EQ(Split({"a\n\r\nb\r\rc"}), (Lines{"a", "", "b", "", "c"}));
}

TEST(OutputLineSplitter, TheLastLineNeedsNoBreak) {
    EXPECT_EQ(Split({"done\nprogress 100%"}), (Lines{"done", "progress 100%"}));
    EXPECT_EQ(Split({}), Lines{});
}

TEST(ProgressLine, OnlyAWholePercentageFromZeroToAHundredCounts) {
    EXPECT_EQ(ParseProgressLine("progress 0%"), 0);
    EXPECT_EQ(ParseProgressLine("progress 45%"), 45);
    EXPECT_EQ(ParseProgressLine("progress 100%"), 100);
    for (const char* line :
         {"progress 101%", "progress 99999999999%", "progress -5%", "progress +5%", "progress %",
          "progress 45", "progress 4.5%", "progress  45%", "progress 45% ", "Progress 45%",
          "progress 4x%", ""}) {
        EXPECT_EQ(ParseProgressLine(line), std::nullopt) << line;
    }
}

} // namespace
