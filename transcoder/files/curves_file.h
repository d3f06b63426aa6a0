#pragma once

#include <string>

namespace cantova {

// The file of a job's loudness curves lies beside its log: "<log's name less its extension>.
// <output's name>.loudness" (Audio_Stream.log and /a/Stream1.mp3: Audio_Stream.Stream1.mp3.
// loudness), as an absolute path.
std::string curvesFilePath(const std::string& logPath, const std::string& outputPath);

// Writes the text as the file at path, all at once: it is written under a hidden name of its
// own, created exclusively (never through a link planted there), and then named. A curves file
// an earlier job left at that name (a regular file of this user that begins as such files do)
// is replaced in the same step; anything else there is left alone and the file not written.
// Throws std::runtime_error with the path and the reason; nothing is then left behind.
void writeCurvesFile(const std::string& path, const std::string& text);

// Removes the curves file at path, for a job that failed after writing it; anything at path
// that is no curves file of the transcoder is left alone.
void removeCurvesFile(const std::string& path);

} // namespace cantova
