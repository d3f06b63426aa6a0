#pragma once

// Finding the lists that earlier programs left in the state folder. Only a folder of the user's
// own that nobody else may write to is read, and in it only files of the user's own: a list is
// acted on, and what it names may be removed. A list that is damaged loses nothing in silence:
// what can be read of it stays, and the damaged file is put aside.

#include "jobs/saved_list_files.h"

#include <set>
#include <string>
#include <vector>

namespace cantova::jobs {

// Larger lists are refused unread: a real one holds some hundred bytes a job.
inline constexpr std::size_t kLargestList = std::size_t{64} << 20;

struct LeftLists {
    // The lists no running program holds, oldest first, each locked for the caller.
    std::vector<LeftList> lists;
    // Why a list or the folder was not read, or a list only in part, one sentence each.
    std::vector<std::string> problems;
    // The files and folders that lists of running programs name: theirs, never to be removed.
    std::set<std::string> namedByRunning;
};

// The lists in folder. tidy: a damaged list is renamed aside (".damaged") and what could be read
// of it is saved in its place, and the leftovers of a program killed while saving (a temporary
// list, a lock without a list) are removed; without it (a dry run) nothing in the folder changes.
LeftLists FindLeftLists(const std::string& folder, bool tidy);

} // namespace cantova::jobs
