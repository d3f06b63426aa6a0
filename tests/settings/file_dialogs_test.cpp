#include "settings/file_dialogs.h"

#include <gtest/gtest.h>

using cantova::settings::ParseDialogFilter;
using cantova::settings::ScriptedFileDialogs;
using cantova::settings::ToQtNameFilters;
using Names = std::vector<std::string>;

namespace {

TEST(DialogFilterTest, PairsWithAndWithoutFinalBar) {
    for (const std::string filter :
         {"Audio Profil File (*.aud)|*.aud", "Audio Profil File (*.aud)|*.aud|"}) {
        const auto entries = ParseDialogFilter(filter);
        ASSERT_EQ(entries.size(), 1u) << filter;
        EXPECT_EQ(entries[0].label, "Audio Profil File (*.aud)");
        EXPECT_EQ(entries[0].patterns, Names{"*.aud"});
        EXPECT_EQ(ToQtNameFilters(filter), Names{"Audio Profil File (*.aud)"});
    }
}

TEST(DialogFilterTest, SourceFilterBecomesQtNameFilters) {
    const std::string filter =
        "All Compatible Audio Stream|*.ac3;*.mpa;*.mp2;*.pcm;*.wav|AC3 Audio Stream (*.ac3)|*.ac3|"
        "MPEG-2 Audio Stream (*.mpa/*.mp2)|*.mpa;*.mp2|LPCM Audio Stream (*.pcm)|*.pcm|"
        "WAVE Audio Stream (*.wav)|*.wav";
    EXPECT_EQ(ParseDialogFilter(filter)[2].patterns, (Names{"*.mpa", "*.mp2"}));
    EXPECT_EQ(ToQtNameFilters(filter),
              (Names{"All Compatible Audio Stream (*.ac3 *.mpa *.mp2 *.pcm *.wav)",
                     "AC3 Audio Stream (*.ac3)", "MPEG-2 Audio Stream (*.mpa *.mp2)",
                     "LPCM Audio Stream (*.pcm)", "WAVE Audio Stream (*.wav)"}));
}

TEST(DialogFilterTest, ListEndsAtFirstEmptyFieldAndDropsLoneText) {
    EXPECT_EQ(ToQtNameFilters("A|*.a||B|*.b"), Names{"A (*.a)"});
    EXPECT_EQ(ToQtNameFilters("A|*.a|Lonely"), Names{"A (*.a)"});
    EXPECT_EQ(ToQtNameFilters("A| *.a ; ;*.b|(*.c)|*.c"), (Names{"A (*.a *.b)", "(*.c)"}));
    EXPECT_TRUE(ToQtNameFilters("").empty());
}

TEST(ScriptedFileDialogsTest, AnswersInOrderThenCancelsAndRecordsRequests) {
    ScriptedFileDialogs dialogs;
    dialogs.Answer("/rips/a.ac3");
    dialogs.Answer("/profiles/b.aud");
    std::vector<std::string> chosen;
    const auto choose = [&chosen](const std::string& path) { chosen.push_back(path); };
    dialogs.ShowOpenDialog("F1", "T1", "", choose);
    dialogs.ShowSaveDialog("F2", "T2", "", choose);
    dialogs.ShowOpenDialog("F3", "T3", "", choose);
    EXPECT_EQ(chosen, (std::vector<std::string>{"/rips/a.ac3", "/profiles/b.aud", ""}));
    ASSERT_EQ(dialogs.Requests().size(), 3u);
    EXPECT_EQ(dialogs.Requests()[0].kind, ScriptedFileDialogs::Kind::Open);
    EXPECT_EQ(dialogs.Requests()[1].kind, ScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(dialogs.Requests()[1].filter, "F2");
    EXPECT_EQ(dialogs.Requests()[2].title, "T3");
}

} // namespace
