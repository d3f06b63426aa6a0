#include "files/parts_record.h"

#include "files/hidden_names.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRecordPrefix = ".cantova-parts-";
constexpr const char* kRecordHeader = "cantova parts record 1";
constexpr std::size_t kFieldsPerPart = 3; // name, device, inode

[[noreturn]] void failRecord(const std::string& folder, int error) {
    throw std::runtime_error("cannot write a record of temporary outputs in " + folder + ": " +
                             std::strerror(error));
}

bool isTargetExtension(std::string extension) {
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::array<const char*, 4> kTargets = {".ac3", ".mp3", ".ogg", ".wav"};
    return std::find(kTargets.begin(), kTargets.end(), extension) != kTargets.end();
}

std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1) {
        fields.push_back(text.substr(begin, end - begin));
    }
    return fields; // an entry cut short by a kill is left out with the text after its last NUL
}

bool isListedPart(const fs::path& folder, pid_t pid, const std::string& name,
                  const std::string& device, const std::string& inode) {
    const auto part = parseHiddenName(name, "part");
    struct stat status {};
    return part && part->pid == pid && name.find('/') == std::string::npos &&
           isTargetExtension(fs::path(name).extension().string()) &&
           ::lstat((folder / name).c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_uid == ::geteuid() && std::to_string(status.st_dev) == device &&
           std::to_string(status.st_ino) == inode;
}

} // namespace

PartsRecord::PartsRecord(const std::string& folder) : folder_(folder) {
    fd_ = createRunRecord(folder, kRecordPrefix, O_WRONLY | O_APPEND, path_);
    if (fd_ < 0) {
        failRecord(folder, errno);
    }
    ::flock(fd_, LOCK_EX);
    const std::string header = std::string(kRecordHeader) + '\0';
    if (::write(fd_, header.data(), header.size()) != static_cast<ssize_t>(header.size())) {
        const int error = errno;
        ::unlink(path_.c_str());
        ::close(fd_);
        failRecord(folder, error);
    }
}

PartsRecord::~PartsRecord() {
    ::unlink(path_.c_str());
    ::close(fd_);
}

void PartsRecord::add(const std::string& name, int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        failRecord(folder_, errno);
    }
    std::string entry;
    for (const std::string& field :
         {name, std::to_string(status.st_dev), std::to_string(status.st_ino)}) {
        entry += field + '\0';
    }
    if (::write(fd_, entry.data(), entry.size()) != static_cast<ssize_t>(entry.size())) {
        failRecord(folder_, errno != 0 ? errno : ENOSPC);
    }
}

std::vector<std::string> removeRecordedParts(const std::string& folder) {
    std::vector<std::string> removed;
    visitRecordsOfEndedRuns(
        folder, kRecordPrefix, [&](const std::string&, pid_t pid, const std::string& text) {
            const std::vector<std::string> fields = fieldsOf(text);
            if (fields.empty() || fields[0] != kRecordHeader) {
                return true;
            }
            for (std::size_t i = 1; i + kFieldsPerPart <= fields.size(); i += kFieldsPerPart) {
                if (isListedPart(folder, pid, fields[i], fields[i + 1], fields[i + 2]) &&
                    ::unlink((fs::path(folder) / fields[i]).c_str()) == 0) {
                    removed.push_back(fields[i]);
                }
            }
            return true;
        });
    return removed;
}

} // namespace cantova
