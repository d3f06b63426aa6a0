#pragma once

#include <string>
#include <string_view>

namespace cantova::settings {

// Replaces the file at path with content: the content goes to a temporary file in the same folder,
// which is then renamed over the path, so the file holds either its old or its new content, never
// a mix. An existing file keeps its permission bits; a symbolic link is followed and its target
// replaced. Returns false (and leaves the file untouched) when any step fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

} // namespace cantova::settings
