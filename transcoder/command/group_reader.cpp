#include "command/group_reader.h"

#include "command/command_line_error.h"

namespace cantova {

GroupReader::GroupReader(std::span<const std::string> words, std::size_t& position,
                         std::string group)
    : words_(words), position_(position), group_(std::move(group)) {}

bool GroupReader::hasSwitch() {
    if (position_ >= words_.size()) {
        fail("group is not closed with \")\"");
    }
    if (words_[position_] == ")") {
        ++position_;
        return false;
    }
    return true;
}

const std::string& GroupReader::takeSwitch() {
    return words_[position_++];
}

const std::string& GroupReader::takeValue(const std::string& switchName) {
    if (position_ >= words_.size() || words_[position_] == ")") {
        fail("switch " + switchName + " has no value");
    }
    return words_[position_++];
}

bool GroupReader::takeIf(const std::string& word) {
    if (position_ < words_.size() && words_[position_] == word) {
        ++position_;
        return true;
    }
    return false;
}

void GroupReader::fail(const std::string& message) const {
    throw CommandLineError(group_ + " " + message);
}

} // namespace cantova
