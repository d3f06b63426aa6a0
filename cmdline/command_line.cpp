#include "cmdline/command_line.h"

#include <cstddef>
#include <optional>

namespace cantova::cmdline {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(const std::string& text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    return at;
}

// Reads the program word starting at 0; returns it, sets end just past it and moves at past it
// and the blanks after it.
std::string ReadProgramWord(const std::string& line, std::size_t& at, std::size_t& end) {
    std::string word;
    if (line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        const std::size_t last = close == std::string::npos ? line.size() : close;
        word = line.substr(1, last - 1);
        at = close == std::string::npos ? line.size() : close + 1;
    } else {
        end = 0;
        while (end < line.size() && !IsBlank(line[end])) {
            ++end;
        }
        word = line.substr(0, end);
        at = end;
    }
    end = at;
    at = SkipBlanks(line, at);
    return word;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> texts;
    for (CommandWord& word : SplitCommandLineWords(commandLine)) {
        texts.push_back(std::move(word.text));
    }
    return texts;
}

std::vector<CommandWord> SplitCommandLineWords(const std::string& commandLine) {
    std::vector<CommandWord> words;
    if (commandLine.empty()) {
        return words;
    }
    std::size_t at = 0;
    std::size_t programEnd = 0;
    words.push_back({ReadProgramWord(commandLine, at, programEnd), programEnd});

    std::optional<std::string> word; // set once the current word has begun
    bool quoted = false;
    while (at < commandLine.size()) {
        const char c = commandLine[at];
        if (IsBlank(c) && !quoted) {
            if (word) {
                words.push_back({std::move(*word), at});
                word.reset();
            }
            ++at;
            continue;
        }
        if (!word) {
            word.emplace();
        }
        if (c == '\\') {
            std::size_t backslashes = 0;
            while (at < commandLine.size() && commandLine[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < commandLine.size() && commandLine[at] == '"') {
                word->append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word->push_back('"');
                    ++at;
                }
            } else {
                word->append(backslashes, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && at + 1 < commandLine.size() && commandLine[at + 1] == '"') {
                word->push_back('"');
                at += 2;
            } else {
                quoted = !quoted;
                ++at;
            }
            continue;
        }
        word->push_back(c);
        ++at;
    }
    if (word) {
        words.push_back({std::move(*word), commandLine.size()});
    }
    return words;
}

} // namespace cantova::cmdline
