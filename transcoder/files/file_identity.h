#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace cantova {

// Which file a name leads to.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file at a path, the path itself when it is a link; nothing when there is none.
std::optional<FileIdentity> identityAt(const std::string& path);

// rename() that fails with EEXIST instead of replacing; returns 0 or the error.
int renameWithoutReplacing(const std::string& from, const std::string& to);

} // namespace cantova
