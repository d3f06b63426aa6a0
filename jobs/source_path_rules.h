#pragma once

// What the source selection reads from the chosen path itself.

#include <optional>
#include <string>

namespace cantova::jobs {

// The text from the last "." of the path to its end, upper-cased; empty when there is no ".".
std::string SourceExtension(const std::string& path);

// The delay written into the file name ("... DELAY -24ms.ac3" gives "-24"): the text from six
// characters after the last "DELAY" up to the last "MS" (both found without regard to case),
// "0" when either is missing, and nothing (keep the current delay) when the last "MS" comes
// before the value would start.
std::optional<std::string> DelayFromFileName(const std::string& path);

// Why the path cannot be a job's source: the transcoder command line cannot carry it (a double
// quote would end the quoted argument, a final backslash would escape the closing quote), or it
// names a folder, a pipe or a device. Nothing when it can be one.
std::optional<std::string> SourcePathProblem(const std::string& path);

} // namespace cantova::jobs
