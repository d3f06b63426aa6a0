#pragma once

// The option groups read backwards: for the switches of one group, the profile keys whose values
// make the group builder write exactly those switches. Each group is described by its steps in
// the order the builder writes them; a step is written in one of its forms or, where it may be
// left out, not at all.

#include "settings/ini_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantova::cmdline {

struct GroupGrammar;

// The grammar of the group opened by word ("-lame(" and the like); nullptr for any other word.
const GroupGrammar* GrammarOfGroup(std::string_view word);

// The words that open the groups the grammars know, in the order the builder can write them.
const std::vector<std::string_view>& GroupWords();

struct GroupReading {
    // The profile keys that give the switches; nothing when no setting gives them.
    std::optional<std::vector<settings::IniEntry>> settings;
    // When there are none: how many words could be read in order before the reading failed.
    std::size_t wordsRead = 0;
};

// Reads the switches (the words between the group's opening word and its " )"; an empty word is
// an empty value).
GroupReading ReadGroupSwitches(const GroupGrammar& grammar, const std::vector<std::string>& words);

// The profile keys a line without the group gives: the switches of a group the builder drops
// when empty are all off, a boost group is missing when boost is off. Empty when no setting
// leaves the group out.
std::vector<settings::IniEntry> SettingsOfMissingGroup(const GroupGrammar& grammar);

} // namespace cantova::cmdline
