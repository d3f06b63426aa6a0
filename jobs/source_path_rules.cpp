#include "jobs/source_path_rules.h"

#include <sys/stat.h>

#include <algorithm>

namespace cantova::jobs {

namespace {

std::string UpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : char(c);
    });
    return text;
}

} // namespace

std::string SourceExtension(const std::string& path) {
    const auto dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : UpperAscii(path.substr(dot));
}

std::optional<std::string> DelayFromFileName(const std::string& path) {
    const std::string upper = UpperAscii(path);
    const auto delay = upper.rfind("DELAY");
    const auto ms = upper.rfind("MS");
    if (delay == std::string::npos || ms == std::string::npos) {
        return "0";
    }
    // "DELAY" and one separator character are skipped.
    const auto valueStart = delay + 6;
    if (ms < valueStart) {
        return std::nullopt;
    }
    return path.substr(valueStart, ms - valueStart);
}

std::optional<std::string> SourcePathProblem(const std::string& path) {
    if (path.find('"') != std::string::npos) {
        return "The source path holds a double quote (\"), which the transcoder command line "
               "cannot carry. Rename the file or its folder and choose it again:\n" +
               path;
    }
    if (!path.empty() && path.back() == '\\') {
        return "The source path ends in a backslash (\\), which the transcoder command line "
               "cannot carry. Rename the file and choose it again:\n" +
               path;
    }
    // A path that names nothing (yet) is left to the add, which checks that the file can be read.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return "The chosen source is a folder, not an audio file. Choose a file in it:\n" +
                   path;
        }
        if (!S_ISREG(info.st_mode)) {
            return "The chosen source is not an ordinary file (a pipe or a device cannot be "
                   "transcoded). Choose an audio file:\n" +
                   path;
        }
    }
    return std::nullopt;
}

} // namespace cantova::jobs
