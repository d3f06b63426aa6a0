#pragma once

#include <span>
#include <string>

namespace cantova {

// Walks the words of one option group, from the word after its opener up to its ")".
class GroupReader {
public:
    GroupReader(std::span<const std::string> words, std::size_t& position, std::string group);

    // True while the group has words left before its ")"; throws when the command line
    // ends without one.
    bool hasSwitch();
    // Takes the next switch word.
    const std::string& takeSwitch();
    // Takes the value of the switch just taken; a ")" or the end of the command line in
    // its place means the value is missing.
    const std::string& takeValue(const std::string& switchName);
    // True when the next word is the given one (and takes it).
    bool takeIf(const std::string& word);
    [[noreturn]] void fail(const std::string& message) const;
    const std::string& group() const { return group_; }

private:
    std::span<const std::string> words_;
    std::size_t& position_;
    std::string group_;
};

} // namespace cantova
