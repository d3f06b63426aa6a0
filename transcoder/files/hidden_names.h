#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace cantova {

// The hidden names a job gives files beside an output while it writes and names it:
// ".<stem>.<mark>-<pid>-<n><ext>" for "<stem><ext>" ("part" for a file being written where the
// file system has no unnamed files, "replaced" for an old output moved aside).
std::string hiddenNameBeside(const std::string& path, const std::string& mark, pid_t pid,
                             unsigned number);

struct HiddenName {
    std::string visibleName; // "<stem><ext>"
    pid_t pid = 0;
};

// Reads a file name (no folder) of exactly that form; nothing for any other name.
std::optional<HiddenName> parseHiddenName(const std::string& fileName, const std::string& mark);

// Whether no process with that id exists any more (one of another user still exists).
bool processHasEnded(pid_t pid);

} // namespace cantova
