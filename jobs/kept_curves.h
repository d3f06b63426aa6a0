#pragma once

// The loudness curves of jobs that ran several at once lie beside their own logs in the run's
// private folder, which goes when the run ends; they are kept beside the run's log first, under
// the name a job whose log that is gives them.

#include <optional>
#include <string>

namespace cantova::jobs {

// "<log's name less its extension>.<output's name>.loudness" in the log's folder.
std::string CurvesPathBesideLog(const std::string& logPath, const std::string& outputPath);

// Copies the curves file (a regular file, not a link) to CurvesPathBesideLog: a new file there,
// or in place of one an earlier job left (a regular file of this user that begins as curves files
// do); anything else at that name is left alone. The new path; nothing when it was not copied.
std::optional<std::string> KeepCurvesBesideLog(const std::string& curvesFile,
                                               const std::string& logPath,
                                               const std::string& outputPath);

} // namespace cantova::jobs
