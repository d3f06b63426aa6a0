#include "jobs/job_files.h"

#include <filesystem>

namespace cantova::jobs {

namespace {

// Any entry counts as taken, also one that cannot be read, so that nothing is overwritten.
bool Taken(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

// Position where the file name starts.
std::size_t FileNameStart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

} // namespace

std::string FileNamePart(const std::string& path) {
    return path.substr(FileNameStart(path));
}

std::string FileBase(const std::string& sourcePath) {
    const auto dot = sourcePath.rfind('.');
    if (dot == std::string::npos || dot < FileNameStart(sourcePath)) {
        return sourcePath;
    }
    return sourcePath.substr(0, dot);
}

std::string MakeUniqueName(const std::string& name) {
    if (!Taken(name)) {
        return name;
    }
    const auto dot = name.find('.', FileNameStart(name));
    const std::string head = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string tail = dot == std::string::npos ? std::string() : name.substr(dot);
    std::string candidate;
    for (int i = 1; i <= 100; ++i) {
        candidate = head + "_" + std::to_string(i) + tail;
        if (!Taken(candidate)) {
            break;
        }
    }
    return candidate;
}

std::string SettingsFileName(const std::string& sourcePath, int jobNumber) {
    return MakeUniqueName(FileBase(sourcePath) + ".stream" + std::to_string(jobNumber) + ".aud");
}

std::string JobFileName(const std::string& sourcePath) {
    return MakeUniqueName(FileBase(sourcePath) + ".task");
}

} // namespace cantova::jobs
