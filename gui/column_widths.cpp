#include "gui/column_widths.h"

#include "settings/atomic_write.h"
#include "settings/paths.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace cantova::ui::qt {

std::string ColumnWidthsPath() {
    return settings::ConfigFolder() + "/job-table-columns";
}

ColumnWidths LoadColumnWidths(const std::string& path) {
    ColumnWidths widths;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            continue;
        }
        int pixels = 0;
        const char* begin = line.data() + equals + 1;
        const char* end = line.data() + line.size();
        const auto [stop, error] = std::from_chars(begin, end, pixels);
        if (error == std::errc() && stop == end && pixels > 0) {
            widths[line.substr(0, equals)] = pixels;
        }
    }
    return widths;
}

bool SaveColumnWidths(const std::string& path, const ColumnWidths& widths) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::string text;
    for (const auto& [title, pixels] : widths) {
        text += title + "=" + std::to_string(pixels) + "\n";
    }
    return settings::ReplaceFileAtomically(path, text);
}

} // namespace cantova::ui::qt
