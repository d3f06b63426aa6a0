#pragma once

#include <string>
#include <vector>

namespace cantova {

// Removes the files that ended runs left while writing outputs in folder: every file named
// exactly ".<stem>.part-<pid>-<n><ext>" (ext one of the targets' extensions) that is a regular
// file of this user, of a process that no longer exists. Returns the names removed.
std::vector<std::string> removeLeftoverParts(const std::string& folder);

// What the next run in an output folder does before its own work: settles the naming records
// of ended runs, then removes their leftover parts. Returns lines for the log.
std::vector<std::string> tidyOutputFolder(const std::string& folder);

} // namespace cantova
