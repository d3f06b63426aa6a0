#pragma once

#include <functional>
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

// Creates a record "<prefix><pid>-<n>" of this run in folder: a new file (never an existing one,
// never through a link), for the user alone, opened with accessFlags (O_RDWR, O_WRONLY |
// O_APPEND, ...). Its descriptor, with its path in path; -1 with errno set where none could be
// made.
int createRunRecord(const std::string& folder, const std::string& prefix, int accessFlags,
                    std::string& path);

// Hands over each record "<prefix><pid>-<n>" in folder that a run of this user left and that
// has ended: a regular file with one link (not a link), not held by another run, read whole (up
// to 1 MiB) and locked while visit looks at it. visit gets the record's name, its run's process
// id and its text, and says whether the record is done with (it is then removed).
void visitRecordsOfEndedRuns(
    const std::string& folder, const std::string& prefix,
    const std::function<bool(const std::string& name, pid_t pid, const std::string& text)>& visit);

} // namespace cantova
