#include "jobs/source_path_rules.h"

#include <gtest/gtest.h>

namespace {

using cantova::jobs::DelayFromFileName;
using cantova::jobs::SourceExtension;
using cantova::jobs::SourcePathProblem;

TEST(SourceExtension, IsTheUpperCasedTextFromTheLastDot) {
    EXPECT_EQ(SourceExtension("/rips/movie.Ac3"), ".AC3");
    EXPECT_EQ(SourceExtension("/rips/movie.ac3.bak"), ".BAK");
    EXPECT_EQ(SourceExtension("/rips/movie"), "");
    EXPECT_EQ(SourceExtension("/rips.old/movie"), ".OLD/MOVIE");
}

TEST(DelayFromFileName, FollowsTheLastDelayAndTheLastMs) {
    EXPECT_EQ(DelayFromFileName("/rips/VTS_01 T01 DELAY -24ms.ac3"), "-24");
    EXPECT_EQ(DelayFromFileName("/rips/x DELAY 0ms.ac3"), "0");
    EXPECT_EQ(DelayFromFileName("/rips/delay 120ms.ac3"), "120");
    EXPECT_EQ(DelayFromFileName("/rips/x DELAY ms.ac3"), "");
    EXPECT_EQ(DelayFromFileName("/rips/x DELAY 12.ac3"), "0");
    EXPECT_EQ(DelayFromFileName("/rips/track.ac3"), "0");
    // The last MS lies before the value start: the current delay stays.
    EXPECT_EQ(DelayFromFileName("/MSrips/x DELAY 12.ac3"), std::nullopt);
}

TEST(SourcePathProblem, RefusesQuotesAndAFinalBackslashOnly) {
    EXPECT_EQ(SourcePathProblem("/rips/a b $x;|*.ac3"), std::nullopt);
    EXPECT_EQ(SourcePathProblem(""), std::nullopt);
    EXPECT_NE(SourcePathProblem("/rips/say \"hi\".ac3"), std::nullopt);
    EXPECT_NE(SourcePathProblem("/rips/odd\\"), std::nullopt);
    EXPECT_EQ(SourcePathProblem("/rips/a\\b.ac3"), std::nullopt);
}

} // namespace
