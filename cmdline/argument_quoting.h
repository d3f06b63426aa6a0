#pragma once

#include <string>
#include <string_view>

namespace cantova::cmdline {

// The text as one quoted word of a command line, so that splitting the line by the Windows
// command-line rules gives the text back exactly, whatever characters it holds: a double quote is
// escaped with a backslash, and backslashes that come before a double quote (also the closing one)
// are doubled. A text without double quotes and without a final backslash is simply put between
// double quotes.
std::string QuoteArgument(std::string_view text);

// The program word of a command line: the path as it stands when it holds no blank, tab or double
// quote, else between double quotes. The program word's rules cannot escape a double quote, so a
// path holding one gives a word that ProgramWordProblem refuses.
std::string QuoteProgram(std::string_view path);

// Why the program word does not stand for exactly one program path when a command line is split;
// empty text when it does.
std::string ProgramWordProblem(const std::string& programWord);

} // namespace cantova::cmdline
