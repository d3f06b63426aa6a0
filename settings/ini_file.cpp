#include "settings/ini_file.h"

#include "settings/atomic_write.h"
#include "settings/ini_lines.h"
#include "settings/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

namespace cantova::settings {

namespace {

constexpr std::size_t kMaxValueLength = 749;

// The whole file, or nothing when it cannot be opened or read (a folder, a pipe, no permission,
// larger than any settings file).
std::optional<std::string> ReadWholeFile(const std::string& path) {
    RegularFileRead file = ReadRegularFile(path, kMaxSettingsFileSize);
    if (file.status != RegularFileRead::Status::Read) {
        return std::nullopt;
    }
    return std::move(file.content);
}

bool FileIsMissing(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

std::string_view WithoutEnclosingQuotes(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view LineEndingOf(const std::vector<IniLine>& lines) {
    if (!lines.empty() && !lines.front().ending.empty()) {
        return lines.front().ending;
    }
    return "\n";
}

// Whether a key line for these names and this value can be written and read back as such.
bool Storable(std::string_view section, std::string_view key, std::string_view value) {
    return !section.empty() && !key.empty() && !HoldsLineBreakOrNul(section) &&
           !HoldsLineBreakOrNul(key) && !HoldsLineBreakOrNul(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[';
}

// The content with the key line set, following the rules of WriteIniValue.
std::string WithKeySet(const std::string& content, std::string_view section, std::string_view key,
                       std::string_view value) {
    const std::vector<IniLine> lines = SplitIniLines(content);
    const IniLocation location = LocateIniKey(lines, section, key);
    const std::string_view newline = LineEndingOf(lines);
    const std::string keyLine = UpperAscii(key) + "=" + std::string(value);

    if (location.keyLine) {
        const IniLine& old = lines[*location.keyLine];
        return content.substr(0, old.offset) + keyLine +
               content.substr(old.offset + old.text.size());
    }

    std::string insertion;
    std::size_t insertAt = content.size();
    if (location.sectionLine) {
        const IniLine& after = lines[location.lastKeyLine.value_or(*location.sectionLine)];
        insertAt = after.offset + after.text.size() + after.ending.size();
        if (after.ending.empty()) {
            insertion += newline; // the line before had no line end of its own
        }
        insertion += keyLine;
        insertion += newline;
    } else {
        if (!content.empty() && content.back() != '\n') {
            insertion += newline;
        }
        insertion += "[" + std::string(section) + "]";
        insertion += newline;
        insertion += keyLine;
        insertion += newline;
    }
    return content.substr(0, insertAt) + insertion + content.substr(insertAt);
}

struct SetResult {
    bool allStorable = true;
    bool anyStored = false;
};

// Sets every storable entry in content, in order.
SetResult SetEntries(std::string& content, const std::vector<IniEntry>& entries) {
    SetResult result;
    for (const IniEntry& entry : entries) {
        const std::string_view sectionName = TrimBlanks(entry.section);
        const std::string_view keyName = TrimBlanks(entry.key);
        if (!Storable(sectionName, keyName, entry.value)) {
            result.allStorable = false;
            continue;
        }
        content = WithKeySet(content, sectionName, keyName, entry.value);
        result.anyStored = true;
    }
    return result;
}

} // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& path) {
    const std::optional<std::string> content = ReadWholeFile(path);
    if (!content) {
        return {};
    }
    return IniValueIn(SplitIniLines(*content), section, key);
}

std::string IniValueIn(const std::vector<IniLine>& lines, const std::string& section,
                       const std::string& key) {
    const IniLocation location = LocateIniKey(lines, TrimBlanks(section), TrimBlanks(key));
    if (!location.keyLine) {
        return {};
    }
    const std::string_view value =
        WithoutEnclosingQuotes(KeyLineOf(lines[*location.keyLine].text)->value);
    return std::string(value.substr(0, kMaxValueLength));
}

bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) {
    return WriteIniValues({{section, key, value}}, path);
}

bool WriteIniValues(const std::vector<IniEntry>& entries, const std::string& path) {
    std::optional<std::string> content = ReadWholeFile(path);
    if (!content) {
        if (!FileIsMissing(path)) {
            return false;
        }
        content.emplace();
    }
    const SetResult result = SetEntries(*content, entries);
    if (!result.anyStored) {
        return result.allStorable;
    }
    return ReplaceFileAtomically(path, *content) && result.allStorable;
}

std::string FormatIniFile(const std::vector<IniEntry>& entries, bool* complete) {
    // Built in one pass (setting key after key would read the growing text again each time): the
    // sections in the order they first come, each key once where it first comes, with its last
    // value, as setting them one by one into an empty text leaves them.
    struct Section {
        std::string name;
        std::vector<std::string> keyLines;
        std::unordered_map<std::string, std::size_t> keyLineOf;
    };
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> sectionOf;
    bool allStored = true;
    for (const IniEntry& entry : entries) {
        const std::string_view sectionName = TrimBlanks(entry.section);
        const std::string_view keyName = TrimBlanks(entry.key);
        if (!Storable(sectionName, keyName, entry.value)) {
            allStored = false;
            continue;
        }
        const auto [section, newSection] =
            sectionOf.try_emplace(UpperAscii(sectionName), sections.size());
        if (newSection) {
            sections.push_back({std::string(sectionName), {}, {}});
        }
        Section& into = sections[section->second];
        const std::string key = UpperAscii(keyName);
        std::string keyLine = key + "=" + entry.value;
        const auto [line, newKey] = into.keyLineOf.try_emplace(key, into.keyLines.size());
        if (newKey) {
            into.keyLines.push_back(std::move(keyLine));
        } else {
            into.keyLines[line->second] = std::move(keyLine);
        }
    }
    std::string content;
    for (const Section& section : sections) {
        content += "[" + section.name + "]\n";
        for (const std::string& keyLine : section.keyLines) {
            content += keyLine;
            content += '\n';
        }
    }
    if (complete != nullptr) {
        *complete = allStored;
    }
    return content;
}

} // namespace cantova::settings
