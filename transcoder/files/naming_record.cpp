#include "files/naming_record.h"

#include "files/hidden_names.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

constexpr const char* kRecordPrefix = ".cantova-naming-";
constexpr const char* kRecordHeader = "cantova naming record 1";
constexpr std::size_t kLargestRecord = 1 << 20;

// The fields of a record, each ended by a NUL byte, which no file name holds.
std::string encode(const std::vector<NamingStep>& steps) {
    std::string text = std::string(kRecordHeader) + '\0';
    for (const NamingStep& step : steps) {
        for (const std::string& field :
             {step.finalName, step.asideName, std::to_string(step.newFile.device),
              std::to_string(step.newFile.inode)}) {
            text += field + '\0';
        }
    }
    return text;
}

bool isPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::optional<unsigned long long> numberIn(const std::string& text) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    return std::stoull(text);
}

// The steps of a record written by pid; nothing when it is cut or names anything but a job's
// outputs and their aside names in its own folder.
std::optional<std::vector<NamingStep>> decode(const std::string& text, pid_t pid) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1) {
        fields.push_back(text.substr(begin, end - begin));
    }
    if (begin != text.size() || fields.empty() || fields[0] != kRecordHeader || fields.size() < 5 ||
        fields.size() % 4 != 1) {
        return std::nullopt;
    }
    std::vector<NamingStep> steps;
    for (std::size_t i = 1; i < fields.size(); i += 4) {
        NamingStep step{fields[i], fields[i + 1], {}};
        const auto device = numberIn(fields[i + 2]);
        const auto inode = numberIn(fields[i + 3]);
        if (!isPlainName(step.finalName) || !device || !inode) {
            return std::nullopt;
        }
        if (!step.asideName.empty()) {
            const auto aside = parseHiddenName(step.asideName, "replaced");
            if (!aside || aside->visibleName != step.finalName || aside->pid != pid) {
                return std::nullopt;
            }
        }
        step.newFile = FileIdentity{static_cast<dev_t>(*device), static_cast<ino_t>(*inode)};
        steps.push_back(step);
    }
    return steps;
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    while (text.size() <= kLargestRecord) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

// Finishes or undoes the renames; returns the line for the log, and whether the record is done
// with (false when an old file could not get its name back: a later run tries again).
std::pair<std::string, bool> settle(const fs::path& folder, const std::vector<NamingStep>& steps) {
    auto at = [&](const std::string& name) { return (folder / name).string(); };
    bool finished = true;
    for (const NamingStep& step : steps) {
        finished = finished && identityAt(at(step.finalName)) == step.newFile;
    }
    std::string names;
    for (const NamingStep& step : steps) {
        names += (names.empty() ? "" : ", ") + step.finalName;
    }
    if (finished) {
        for (const NamingStep& step : steps) {
            if (!step.asideName.empty()) {
                ::unlink(at(step.asideName).c_str());
            }
        }
        return {"finished the naming of " + names + " that an ended run began", true};
    }
    for (const NamingStep& step : steps) {
        if (identityAt(at(step.finalName)) == step.newFile) {
            ::unlink(at(step.finalName).c_str());
        }
    }
    std::string kept;
    for (const NamingStep& step : steps) {
        if (!step.asideName.empty() && identityAt(at(step.asideName)) &&
            renameWithoutReplacing(at(step.asideName), at(step.finalName)) != 0) {
            kept += "; the old " + step.finalName + " is kept as " + step.asideName;
        }
    }
    return {"undid the naming of " + names + " that an ended run began, the old files put back" +
                kept,
            kept.empty()};
}

} // namespace

NamingRecord::NamingRecord(const std::string& folder, const std::vector<NamingStep>& steps) {
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        path_ = (fs::path(folder) / (kRecordPrefix + std::to_string(::getpid()) + "-" +
                                     std::to_string(numbers() % 1000000)))
                    .string();
        fd_ = ::open(path_.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        throw std::runtime_error("cannot write a naming record in " + folder + ": " +
                                 std::strerror(errno));
    }
    ::flock(fd_, LOCK_EX);
    const std::string text = encode(steps);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(fd_, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const int error = count < 0 ? errno : ENOSPC;
            ::unlink(path_.c_str());
            ::close(fd_);
            throw std::runtime_error("cannot write a naming record in " + folder + ": " +
                                     std::strerror(error));
        }
        done += static_cast<std::size_t>(count);
    }
}

NamingRecord::~NamingRecord() {
    ::unlink(path_.c_str());
    ::close(fd_);
}

std::vector<std::string> settleNamingRecords(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().rfind(kRecordPrefix, 0) == 0) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::vector<std::string> lines;
    for (const std::string& name : names) {
        const fs::path record = fs::path(folder) / name;
        const std::string numbers = name.substr(std::string(kRecordPrefix).size());
        const std::size_t dash = numbers.find('-');
        const auto pid = numberIn(numbers.substr(0, dash));
        if (dash == std::string::npos || !pid || !numberIn(numbers.substr(dash + 1)) || *pid == 0 ||
            *pid > 1u << 30 || !processHasEnded(static_cast<pid_t>(*pid))) {
            continue;
        }
        const int fd = ::open(record.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            status.st_nlink == 1 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            identityAt(record.string()) == FileIdentity{status.st_dev, status.st_ino}) {
            const auto steps = decode(readAll(fd), static_cast<pid_t>(*pid));
            bool done = true;
            if (steps) {
                auto [line, settled] = settle(folder, *steps);
                lines.push_back("tidy: " + line);
                done = settled;
            }
            if (done) {
                ::unlink(record.c_str());
            }
        }
        ::close(fd);
    }
    return lines;
}

} // namespace cantova
