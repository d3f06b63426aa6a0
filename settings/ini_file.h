#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cantova::settings {

// Single-key access to INI files ("[section]" lines opening sections, "key=value" lines, ";"
// comment lines). Texts are bytes; names compare without regard to ASCII case. Only the first
// section of a name and, within it, the first line of a key count.

// The value of key in section of the file at path, with the blanks (spaces, tabs) around it and
// one pair of enclosing double quotes dropped, cut to its first 749 bytes. Empty text when the
// file, the section or the key is missing or the file cannot be read.
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& path);

// Sets key in section of the file at path to value. The key is written in upper case, the section
// name as given (both without surrounding blanks). An existing key line is replaced in place; a
// new key goes after the last key line of its section (right after the section line when it has
// none); a new section goes at the end of the file; a missing file is created. Every other line
// stays byte for byte; new lines take the line end of the file's first line ("\n" for a new file).
// The value is stored as given: blanks around it and enclosing quotes are dropped again on reading.
// The file is replaced atomically. Returns false, leaving the file untouched, when it cannot be
// read or written, when section or key is empty, or when a name or the value holds a line break
// or NUL (such values cannot be stored in a line); a section name also may not hold "]", a key
// not "=" and not begin with ";" or "[" (it would not be read back as a key).
// The value of key in section of an INI text already split into lines, by the rules of
// ReadIniValue.
struct IniLine;
std::string IniValueIn(const std::vector<IniLine>& lines, const std::string& section,
                       const std::string& key);

bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path);

struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Sets every entry in order with the rules of WriteIniValue, giving the same file as one call each
// would, but reads the file once and replaces it once. An entry that cannot be stored is left out
// and makes the result false; the others are still written.
bool WriteIniValues(const std::vector<IniEntry>& entries, const std::string& path);

// The text of a new file holding the entries, exactly as WriteIniValues writes them into a missing
// file: an entry that cannot be stored is left out, and complete (when given) tells whether any
// was.
std::string FormatIniFile(const std::vector<IniEntry>& entries, bool* complete = nullptr);

} // namespace cantova::settings
