#include "files/output_folder_tidying.h"

#include "files/hidden_names.h"
#include "files/naming_record.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

bool isTargetExtension(std::string extension) {
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::array<const char*, 4> kTargets = {".ac3", ".mp3", ".ogg", ".wav"};
    return std::find(kTargets.begin(), kTargets.end(), extension) != kTargets.end();
}

} // namespace

std::vector<std::string> removeLeftoverParts(const std::string& folder) {
    std::vector<std::string> candidates;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const auto part = parseHiddenName(name, "part");
        if (part && isTargetExtension(fs::path(name).extension().string()) &&
            part->pid != ::getpid() && processHasEnded(part->pid)) {
            candidates.push_back(name);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    std::vector<std::string> removed;
    for (const std::string& name : candidates) {
        const std::string path = (fs::path(folder) / name).string();
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid() && ::unlink(path.c_str()) == 0) {
            removed.push_back(name);
        }
    }
    return removed;
}

std::vector<std::string> tidyOutputFolder(const std::string& folder) {
    std::vector<std::string> lines = settleNamingRecords(folder);
    for (const std::string& name : removeLeftoverParts(folder)) {
        lines.push_back("tidy: removed " + name + ", left unfinished by an ended run");
    }
    return lines;
}

} // namespace cantova
