#include "cmdline/command_line.h"

#include "cmdline/argument_quoting.h"

#include <gtest/gtest.h>

using cantova::cmdline::ProgramWordProblem;
using cantova::cmdline::QuoteArgument;
using cantova::cmdline::QuoteProgram;
using cantova::cmdline::SplitCommandLine;
using Words = std::vector<std::string>;

namespace {

TEST(SplitCommandLineTest, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(SplitCommandLine(""), Words{});
    EXPECT_EQ(SplitCommandLine("prog"), Words{"prog"});
    EXPECT_EQ(SplitCommandLine("prog  a\t b  "), (Words{"prog", "a", "b"}));
    EXPECT_EQ(SplitCommandLine(" prog a"), (Words{"", "prog", "a"}));
    EXPECT_EQ(SplitCommandLine("\"/opt/my apps/Cantova/Cantova\" -i \"/rips/VTS 01 $x.ac3\" "
                               "-o \"/rips/Stream1.mp3\""),
              (Words{"/opt/my apps/Cantova/Cantova", "-i", "/rips/VTS 01 $x.ac3", "-o",
                     "/rips/Stream1.mp3"}));
    EXPECT_EQ(SplitCommandLine("p a\"b c\"d \"\" x\"\""), (Words{"p", "ab cd", "", "x"}));
    EXPECT_EQ(SplitCommandLine("p \"unclosed arg"), (Words{"p", "unclosed arg"}));
}

TEST(SplitCommandLineTest, WordsTellWhereTheyEnd) {
    const std::vector<cantova::cmdline::CommandWord> words =
        cantova::cmdline::SplitCommandLineWords("\"p q\" a\"b c\"  d");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].text, "p q");
    EXPECT_EQ(words[0].end, 5u);
    EXPECT_EQ(words[1].text, "ab c");
    EXPECT_EQ(words[1].end, 12u);
    EXPECT_EQ(words[2].end, 15u);
}

TEST(SplitCommandLineTest, ProgramWordTakesBackslashesAndEndsAtItsQuote) {
    EXPECT_EQ(SplitCommandLine("\"C:\\a b\\x.exe\"next"), (Words{"C:\\a b\\x.exe", "next"}));
    EXPECT_EQ(SplitCommandLine("C:\\dir\\\"x a"), (Words{"C:\\dir\\\"x", "a"}));
    EXPECT_EQ(SplitCommandLine("\"unclosed program"), Words{"unclosed program"});
    EXPECT_EQ(SplitCommandLine("\"\" a"), (Words{"", "a"}));
}

TEST(SplitCommandLineTest, BackslashesBeforeQuotes) {
    EXPECT_EQ(SplitCommandLine(R"(p a\b c:\d\ e\\)"), (Words{"p", R"(a\b)", R"(c:\d\)", R"(e\\)"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\"b)"), (Words{"p", R"(a"b)"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\\"b c" d)"), (Words{"p", R"(a\b c)", "d"}));
    EXPECT_EQ(SplitCommandLine(R"(p a\\\"b c)"), (Words{"p", R"(a\"b)", "c"}));
    EXPECT_EQ(SplitCommandLine(R"(p "dir\\" next)"), (Words{"p", R"(dir\)", "next"}));
}

TEST(SplitCommandLineTest, DoubledQuoteInsideQuotesIsLiteral) {
    EXPECT_EQ(SplitCommandLine(R"(p "say ""hi"" now" x)"), (Words{"p", R"(say "hi" now)", "x"}));
    EXPECT_EQ(SplitCommandLine(R"(p """a b""")"), (Words{"p", R"("a b")"}));
}

TEST(SplitCommandLineTest, ShellCharactersAndUtf8StayUntouched) {
    EXPECT_EQ(SplitCommandLine("p $(touch x) `id` a;b c|d *.ac3 $HOME"),
              (Words{"p", "$(touch", "x)", "`id`", "a;b", "c|d", "*.ac3", "$HOME"}));
    EXPECT_EQ(SplitCommandLine("p \"/musique/Été à Zürich.ac3\" Ñ"),
              (Words{"p", "/musique/Été à Zürich.ac3", "Ñ"}));
}

TEST(QuoteArgumentTest, AnyTextComesBackAsOneWord) {
    for (const std::string text :
         {"", "plain", "/home/a b/Audio_Stream.log", "say \"cheese\"", "trailing\\", "\\\"",
          "a\\\\\"b", "tab\there", "\"\"", "$(x) `y` ; | * &", "\\\\server\\share\\"}) {
        EXPECT_EQ(SplitCommandLine("p " + QuoteArgument(text) + " next"),
                  (Words{"p", text, "next"}))
            << text;
    }
    // What needs no escape keeps the simple form.
    EXPECT_EQ(QuoteArgument("/rips/VTS 01.ac3"), "\"/rips/VTS 01.ac3\"");
}

TEST(QuoteArgumentTest, ProgramWordsAreQuotedForBlanksAndTabsAndRefusedWithQuotes) {
    EXPECT_EQ(QuoteProgram("/opt/Cantova/Cantova"), "/opt/Cantova/Cantova");
    EXPECT_EQ(QuoteProgram("/opt/my\tapps/Cantova"), "\"/opt/my\tapps/Cantova\"");
    for (const std::string path :
         {"/opt/Cantova/Cantova", "/opt/my apps/Cantova", "/opt/my\tapps/Cantova"}) {
        EXPECT_EQ(ProgramWordProblem(QuoteProgram(path)), "") << path;
        EXPECT_EQ(SplitCommandLine(QuoteProgram(path) + " -core("), (Words{path, "-core("}));
    }
    EXPECT_NE(ProgramWordProblem(QuoteProgram("/opt/say \"hi\"/Cantova")), "");
    EXPECT_NE(ProgramWordProblem(""), "");
}

} // namespace
