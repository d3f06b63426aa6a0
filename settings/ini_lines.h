#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantova::settings {

// One physical line of an INI text: where it starts, its text without the line end, and the line
// end itself ("\n", "\r\n" or empty for a last line without newline).
struct IniLine {
    std::size_t offset = 0;
    std::string_view text;
    std::string_view ending;
};

// Splits an INI text into its lines; joining text + ending of all lines gives the text back.
std::vector<IniLine> SplitIniLines(std::string_view content);

// The section name of a "[name]" line (blanks around the name dropped), nothing for other lines.
std::optional<std::string_view> SectionNameOf(std::string_view line);

// Key and value of a "key=value" line, split at the first "=" with blanks around both dropped.
// Comment lines (";" first) and lines without "=" are no key lines.
struct IniKeyLine {
    std::string_view key;
    std::string_view value;
};
std::optional<IniKeyLine> KeyLineOf(std::string_view line);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
std::string_view TrimBlanks(std::string_view text);

// Where a section and a key sit in a list of lines. Only the first section with the name counts,
// and within it only the first line with the key.
struct IniLocation {
    std::optional<std::size_t> sectionLine; // the "[name]" line
    std::optional<std::size_t> keyLine;     // the key's line inside that section
    std::optional<std::size_t> lastKeyLine; // the last key line of that section
};
IniLocation LocateIniKey(const std::vector<IniLine>& lines, std::string_view section,
                         std::string_view key);

} // namespace cantova::settings
