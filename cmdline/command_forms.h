#pragma once

// A transcoder command line in the forms a user copies: as the transcoder's own line, as a POSIX
// shell command that runs the same argument vector, and as a JSON array of that vector.

#include <optional>
#include <string>
#include <string_view>

namespace cantova::cmdline {

enum class CommandForm { Line, Shell, Json };

// "line", "shell" or "json"; nothing for any other name.
std::optional<CommandForm> CommandFormNamed(std::string_view name);

// Each argument of the split line between single quotes, a single quote written as '\'', joined
// by blanks: pasted into a POSIX shell it runs the program with exactly these arguments.
std::string ShellCommand(const std::string& line);

// The arguments of the split line as a JSON array of strings: double quotes and backslashes
// escaped, control characters as \uXXXX, UTF-8 text as it is. Nothing when an argument is not
// UTF-8 text, which no JSON string can carry.
std::optional<std::string> JsonArguments(const std::string& line);

// The line in the form; nothing when it has no such form (see JsonArguments).
std::optional<std::string> CommandInForm(const std::string& line, CommandForm form);

} // namespace cantova::cmdline
