#include "cmdline/argument_quoting.h"

#include "cmdline/command_line.h"

#include <vector>

namespace cantova::cmdline {

std::string QuoteArgument(std::string_view text) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(2 * backslashes + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, '\\');
    quoted.push_back('"');
    return quoted;
}

std::string QuoteProgram(std::string_view path) {
    if (path.find_first_of(" \t\"") != std::string_view::npos) {
        return "\"" + std::string(path) + "\"";
    }
    return std::string(path);
}

std::string ProgramWordProblem(const std::string& programWord) {
    if (programWord.empty()) {
        return "the transcoder's path is empty";
    }
    const std::vector<std::string> words = cmdline::SplitCommandLine(programWord);
    if (words.size() != 1 || words[0].empty()) {
        return "the transcoder's path cannot be written as one word of a command line (a double "
               "quote in it cannot be carried): " +
               programWord;
    }
    return {};
}

} // namespace cantova::cmdline
