#include "settings/file_dialogs.h"

#include "settings/ini_lines.h"

#include <cstddef>
#include <string_view>

namespace cantova::settings {

namespace {

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos;
         start = end + 1) {
        fields.push_back(text.substr(start, end - start));
    }
    fields.push_back(text.substr(start));
    return fields;
}

// The text without a final "(...)" group and the blanks before it.
std::string_view WithoutPatternGroup(std::string_view label) {
    const std::string_view trimmed = TrimBlanks(label);
    if (!trimmed.empty() && trimmed.back() == ')') {
        const std::size_t open = trimmed.rfind('(');
        if (open != std::string_view::npos) {
            return TrimBlanks(trimmed.substr(0, open));
        }
    }
    return trimmed;
}

} // namespace

std::vector<DialogFilter> ParseDialogFilter(const std::string& filter) {
    std::string terminated = filter;
    if (terminated.empty() || terminated.back() != '|') {
        terminated += '|';
    }
    const std::vector<std::string_view> fields = SplitAt(terminated, '|');
    std::vector<DialogFilter> entries;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty() || fields[i + 1].empty()) {
            break;
        }
        DialogFilter entry{std::string(fields[i]), {}};
        for (const std::string_view pattern : SplitAt(fields[i + 1], ';')) {
            if (const std::string_view trimmed = TrimBlanks(pattern); !trimmed.empty()) {
                entry.patterns.emplace_back(trimmed);
            }
        }
        if (!entry.patterns.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::vector<std::string> ToQtNameFilters(const std::string& filter) {
    std::vector<std::string> nameFilters;
    for (const DialogFilter& entry : ParseDialogFilter(filter)) {
        std::string nameFilter(WithoutPatternGroup(entry.label));
        if (!nameFilter.empty()) {
            nameFilter += ' ';
        }
        nameFilter += '(';
        for (std::size_t i = 0; i < entry.patterns.size(); ++i) {
            nameFilter += (i == 0 ? "" : " ") + entry.patterns[i];
        }
        nameFilter += ')';
        nameFilters.push_back(std::move(nameFilter));
    }
    return nameFilters;
}

} // namespace cantova::settings
