#pragma once

// The widths the user gave the job table's columns, kept between sessions in a small file of
// "Title=pixels" lines in the folder of the user's settings.

#include <map>
#include <string>

namespace cantova::ui::qt {

using ColumnWidths = std::map<std::string, int>;

// The file the widths are kept in.
std::string ColumnWidthsPath();

// The widths in the file at path; none when it is missing or unreadable. Lines that are no
// "Title=pixels" with a positive width are passed over.
ColumnWidths LoadColumnWidths(const std::string& path);

// Replaces the file at path with widths (creating its folder); false when it could not.
bool SaveColumnWidths(const std::string& path, const ColumnWidths& widths);

} // namespace cantova::ui::qt
