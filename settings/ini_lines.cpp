#include "settings/ini_lines.h"

namespace cantova::settings {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::vector<IniLine> SplitIniLines(std::string_view content) {
    std::vector<IniLine> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t newline = content.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({start, content.substr(start), {}});
            break;
        }
        std::size_t textEnd = newline;
        if (textEnd > start && content[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back({start, content.substr(start, textEnd - start),
                         content.substr(textEnd, newline + 1 - textEnd)});
        start = newline + 1;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> SectionNameOf(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(trimmed.substr(1, close - 1));
}

std::optional<IniKeyLine> KeyLineOf(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return IniKeyLine{TrimBlanks(trimmed.substr(0, equals)),
                      TrimBlanks(trimmed.substr(equals + 1))};
}

IniLocation LocateIniKey(const std::vector<IniLine>& lines, std::string_view section,
                         std::string_view key) {
    IniLocation location;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionNameOf(lines[i].text)) {
            if (location.sectionLine) {
                break; // the first matching section has ended
            }
            if (EqualsIgnoringAsciiCase(*name, section)) {
                location.sectionLine = i;
            }
            continue;
        }
        if (!location.sectionLine) {
            continue;
        }
        if (const auto keyLine = KeyLineOf(lines[i].text)) {
            location.lastKeyLine = i;
            if (!location.keyLine && EqualsIgnoringAsciiCase(keyLine->key, key)) {
                location.keyLine = i;
            }
        }
    }
    return location;
}

} // namespace cantova::settings
