#pragma once

#include "command/target_plan.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// An engine a job needs and the Debian package that installs it.
struct RequiredEngine {
    std::string program;
    std::string package;
};

// ffmpeg for every job, lame for MP3, oggenc for Vorbis.
std::vector<RequiredEngine> enginesFor(Target target);

// Whether execvp would find program in searchPath (the PATH form: folders separated by ':', an
// empty entry meaning the current folder): a regular file the program may execute.
bool foundInSearchPath(const std::string& program, const std::string& searchPath);

// The first engine of the job that is not in the process's PATH (the system's default search
// path when PATH is unset), nothing when all are there.
std::optional<RequiredEngine> firstMissingEngine(Target target);

} // namespace cantova
