#include "jobs/job_files.h"

#include "settings/atomic_write.h"

#include <filesystem>

namespace cantova::jobs {

namespace {

constexpr int kMaxUniqueNumber = 100;

// Any entry counts as taken, also one that cannot be read or a dangling link, so that nothing is
// overwritten.
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

// Candidate number i of name: name itself for 0, else name with "_i" before the first "." of its
// file name.
std::string Candidate(const std::string& name, int i) {
    if (i == 0) {
        return name;
    }
    const auto dot = name.find('.', FileNameStart(name));
    std::string candidate = name;
    candidate.insert(dot == std::string::npos ? name.size() : dot, "_" + std::to_string(i));
    return candidate;
}

} // namespace

std::string FileNamePart(const std::string& path) {
    return path.substr(FileNameStart(path));
}

std::string SourceLabel(const std::string& sourcePath, int track) {
    return FileNamePart(sourcePath) + (track > 0 ? " #" + std::to_string(track) : std::string());
}

std::string FileBase(const std::string& sourcePath) {
    const auto dot = sourcePath.rfind('.');
    if (dot == std::string::npos || dot < FileNameStart(sourcePath)) {
        return sourcePath;
    }
    return sourcePath.substr(0, dot);
}

std::optional<std::string> MakeUniqueName(const std::string& name) {
    for (int i = 0; i <= kMaxUniqueNumber; ++i) {
        std::string candidate = Candidate(name, i);
        if (!Taken(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CreateUniqueFile(const std::string& name, std::string_view content,
                                            settings::Flush flush) {
    // Tried one at a time: the name itself is nearly always free.
    for (int i = 0; i <= kMaxUniqueNumber; ++i) {
        std::string candidate = Candidate(name, i);
        switch (settings::CreateFileExclusively(candidate, content, flush)) {
        case settings::CreateResult::Created:
            return candidate;
        case settings::CreateResult::NameTaken:
            continue;
        case settings::CreateResult::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

namespace {

std::string BaseIn(const std::string& sourcePath, const std::optional<std::string>& outputFolder) {
    return outputFolder ? *outputFolder + "/" + FileBase(FileNamePart(sourcePath))
                        : FileBase(sourcePath);
}

// Whether fileName is wanted (a name without folder) or one of the names made unique of it.
bool MadeUniqueOf(const std::string& fileName, const std::string& wanted) {
    for (int i = 0; i <= kMaxUniqueNumber; ++i) {
        if (Candidate(wanted, i) == fileName) {
            return true;
        }
    }
    return false;
}

} // namespace

bool IsSettingsFileName(const std::string& fileName, const std::string& sourcePath) {
    constexpr std::string_view kStream = ".stream", kEnding = ".aud";
    const auto stream = fileName.rfind(kStream);
    if (!fileName.ends_with(kEnding) || stream == std::string::npos ||
        stream + kStream.size() + kEnding.size() >= fileName.size()) {
        return false;
    }
    const std::string number = fileName.substr(
        stream + kStream.size(), fileName.size() - kEnding.size() - stream - kStream.size());
    if (number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    return MadeUniqueOf(fileName, FileBase(FileNamePart(sourcePath)) + std::string(kStream) +
                                      number + std::string(kEnding));
}

bool IsJobFileName(const std::string& fileName, const std::string& sourcePath) {
    return MadeUniqueOf(fileName, FileBase(FileNamePart(sourcePath)) + ".task");
}

std::string SettingsFileName(const std::string& sourcePath, int jobNumber,
                             const std::optional<std::string>& outputFolder) {
    return BaseIn(sourcePath, outputFolder) + ".stream" + std::to_string(jobNumber) + ".aud";
}

std::string JobFileName(const std::string& sourcePath,
                        const std::optional<std::string>& outputFolder) {
    return BaseIn(sourcePath, outputFolder) + ".task";
}

} // namespace cantova::jobs
