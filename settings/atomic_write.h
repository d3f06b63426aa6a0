#pragma once

#include <string>
#include <string_view>

namespace cantova::settings {

// Replaces the file at path with content: the content goes to a temporary file in the same folder
// (under a short name of its own, so that long file names still work), which is then renamed over
// the path, so the file holds either its old or its new content, never a mix. An existing file
// keeps its permission bits; a symbolic link is followed and its target replaced. Returns false
// (and leaves the file untouched) when any step fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

enum class CreateResult { Created, NameTaken, Failed };

// When a new file's content must be on the disk: before it is reported created, or later, for
// many files made together, with one FlushFileSystemOf for all of them.
enum class Flush { Now, Later };

// Creates a new file at path holding content. Never opens an existing entry: a file, a folder or a
// symbolic link at path (even a dangling one) gives NameTaken. Failed when the file could not be
// created or written; a file that was created but not fully written is removed again.
CreateResult CreateFileExclusively(const std::string& path, std::string_view content,
                                   Flush flush = Flush::Now);

// Writes to the disk what the file system holding folder has not written yet; false when it
// could not.
bool FlushFileSystemOf(const std::string& folder);

} // namespace cantova::settings
