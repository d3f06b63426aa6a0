#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace cantova::cmdline {

// Splits a command line into its words by the Windows command-line rules, so that a command built
// for the transcoder reaches it with the same arguments on every platform. No shell is involved:
// "$", backquotes, ";", "|", "*" and the like are ordinary characters.
//
// The first word, the program, ends at the first blank or tab, or, when it begins with a double
// quote, at the next double quote (quotes removed, backslashes taken as they are); a command line
// that begins with a blank thus has an empty program word. In the other words:
// - blanks and tabs outside quotes separate words; a quoted empty text ("") is an empty word;
// - a double quote starts or ends quoting and is removed;
// - 2n backslashes before a double quote give n backslashes, and the quote starts or ends quoting;
//   2n+1 backslashes before a double quote give n backslashes and a literal quote;
// - backslashes not followed by a double quote stay as they are;
// - inside quotes, two double quotes in a row give one literal quote and quoting goes on (the rule
//   of the current C runtime, chosen over the older one that ended quoting as well).
// An empty command line gives no words.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// A word of a command line and where it ends in the line (just past its last character).
struct CommandWord {
    std::string text;
    std::size_t end = 0;
};

// The words of SplitCommandLine, each with its end.
std::vector<CommandWord> SplitCommandLineWords(const std::string& commandLine);

} // namespace cantova::cmdline
