#pragma once

#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// The quoted output path of job number jobNumber: the source's folder, "/Stream",
// the number and the target's extension. Empty when the source does not name an
// existing file or has no folder part: no sensible output name exists then.
std::string BuildOutputName(const ui::Windows& windows, int jobNumber);

} // namespace cantova::cmdline
