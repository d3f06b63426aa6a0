#pragma once

#include <string>
#include <vector>

namespace cantova {

// Whether jobs write temporary outputs in folder under hidden names: only where its file system
// has no unnamed files (O_TMPFILE).
bool folderTakesTemporaryNames(const std::string& folder);

// What the next run in an output folder does before its own work: settles the naming records
// of ended runs and, where jobs make temporary outputs under hidden names, removes those that
// the records of ended runs show to be theirs. Returns lines for the log.
std::vector<std::string> tidyOutputFolder(const std::string& folder);

} // namespace cantova
