#include "cmdline/command_forms.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace cantova;

TEST(CommandForms, QuotingAndEscaping) {
    const std::string line =
        "prog \"it's \\\"a\\\" $HOME\" \"tab\there\" \"new\nline\" \xc3\xa4\\x";
    EXPECT_EQ(cmdline::ShellCommand(line),
              "'prog' 'it'\\''s \"a\" $HOME' 'tab\there' 'new\nline' '\xc3\xa4\\x'");
    EXPECT_EQ(cmdline::JsonArguments(line),
              "[\"prog\",\"it's \\\"a\\\" $HOME\",\"tab\\u0009here\",\"new\\u000aline\","
              "\"\xc3\xa4\\\\x\"]");
    EXPECT_EQ(cmdline::JsonArguments("prog \"\x1f\x7f\""), "[\"prog\",\"\\u001f\x7f\"]");
    // Bytes that are no UTF-8 text: a lone continuation byte, an overlong form, a surrogate.
    for (const char* bad : {"prog \x80", "prog \xc0\xaf", "prog \xed\xa0\x80", "prog \xf4\x90"}) {
        EXPECT_EQ(cmdline::JsonArguments(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(cmdline::CommandFormNamed("shell"), cmdline::CommandForm::Shell);
    EXPECT_EQ(cmdline::CommandFormNamed("Shell"), std::nullopt);
}

} // namespace
