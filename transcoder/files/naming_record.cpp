#include "files/naming_record.h"

#include "files/hidden_names.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
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

RecordedFile recordedFileOfStatus(const struct stat& status) {
    return RecordedFile{FileIdentity{status.st_dev, status.st_ino}, status.st_size,
                        static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL +
                            status.st_mtim.tv_nsec};
}

constexpr const char* kRecordPrefix = ".cantova-naming-";
// Version 1 held device and inode only; such a record is never trusted to remove a file.
constexpr const char* kEarlierRecordHeader = "cantova naming record 1";
constexpr const char* kRecordHeader = "cantova naming record 2";
constexpr std::size_t kEarlierFieldsPerStep = 4;
constexpr std::size_t kFieldsPerStep = 10;

// The six files of a -6ch job, "<stem>_FL.wav" to "<stem>_SR.wav", in the order it names them.
constexpr std::array<const char*, 6> kSixFileSuffixes = {"_FL", "_FR", "_FC", "_LFE", "_SL", "_SR"};

std::vector<std::string> fieldsOf(const std::optional<RecordedFile>& file) {
    if (!file) {
        return {"", "", "", ""};
    }
    return {std::to_string(file->identity.device), std::to_string(file->identity.inode),
            std::to_string(file->size), std::to_string(file->modifiedNanoseconds)};
}

// The fields of a record, each ended by a NUL byte, which no file name holds.
std::string encode(const std::vector<NamingStep>& steps) {
    std::string text = std::string(kRecordHeader) + '\0';
    for (const NamingStep& step : steps) {
        std::vector<std::string> fields = {step.finalName, step.asideName};
        for (const auto& file : {std::optional<RecordedFile>(step.newFile), step.oldFile}) {
            const std::vector<std::string> recorded = fieldsOf(file);
            fields.insert(fields.end(), recorded.begin(), recorded.end());
        }
        for (const std::string& field : fields) {
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

std::optional<long long> signedNumberIn(const std::string& text) {
    const bool negative = !text.empty() && text.front() == '-';
    const auto magnitude = numberIn(negative ? text.substr(1) : text);
    if (!magnitude || *magnitude > static_cast<unsigned long long>(LLONG_MAX)) {
        return std::nullopt;
    }
    return negative ? -static_cast<long long>(*magnitude) : static_cast<long long>(*magnitude);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether the names are those one job writes: one output of a target's extension, or the six
// mono WAV files of a -6ch job.
bool namesOneJobsOutputs(const std::vector<NamingStep>& steps) {
    const auto isOutputName = [](const std::string& name) {
        const std::string extension = lowered(fs::path(name).extension().string());
        return isPlainName(name) && (extension == ".ac3" || extension == ".mp3" ||
                                     extension == ".ogg" || extension == ".wav");
    };
    if (steps.size() == 1) {
        return isOutputName(steps[0].finalName);
    }
    if (steps.size() != kSixFileSuffixes.size()) {
        return false;
    }
    const fs::path first(steps[0].finalName);
    const std::string extension = first.extension().string();
    const std::string firstStem = first.stem().string();
    if (lowered(extension) != ".wav" || !firstStem.ends_with(kSixFileSuffixes[0])) {
        return false;
    }
    const std::string stem = firstStem.substr(0, firstStem.size() - 3);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].finalName != stem + kSixFileSuffixes[i] + extension ||
            !isOutputName(steps[i].finalName)) {
            return false;
        }
    }
    return true;
}

// A recorded file from four fields (device, inode, length, modification time); only device and
// inode in a record of the earlier version.
std::optional<RecordedFile> recordedFileIn(const std::vector<std::string>& fields, std::size_t at,
                                           bool earlierVersion) {
    const auto device = numberIn(fields[at]);
    const auto inode = numberIn(fields[at + 1]);
    if (!device || !inode) {
        return std::nullopt;
    }
    RecordedFile file{FileIdentity{static_cast<dev_t>(*device), static_cast<ino_t>(*inode)}};
    if (!earlierVersion) {
        const auto size = signedNumberIn(fields[at + 2]);
        const auto modified = signedNumberIn(fields[at + 3]);
        if (!size || !modified) {
            return std::nullopt;
        }
        file.size = *size;
        file.modifiedNanoseconds = *modified;
    }
    return file;
}

struct DecodedRecord {
    std::vector<NamingStep> steps;
    bool earlierVersion = false;
};

// The steps of a record written by pid; nothing when it is cut or names anything but one job's
// outputs and their aside names in its own folder.
std::optional<DecodedRecord> decode(const std::string& text, pid_t pid) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1) {
        fields.push_back(text.substr(begin, end - begin));
    }
    if (begin != text.size() || fields.empty()) {
        return std::nullopt;
    }
    DecodedRecord record;
    record.earlierVersion = fields[0] == kEarlierRecordHeader;
    const std::size_t perStep = record.earlierVersion ? kEarlierFieldsPerStep : kFieldsPerStep;
    if ((fields[0] != kRecordHeader && !record.earlierVersion) || fields.size() < 1 + perStep ||
        (fields.size() - 1) % perStep != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < fields.size(); i += perStep) {
        NamingStep step{fields[i], fields[i + 1], {}, {}};
        const auto newFile = recordedFileIn(fields, i + 2, record.earlierVersion);
        if (!newFile) {
            return std::nullopt;
        }
        step.newFile = *newFile;
        if (!step.asideName.empty()) {
            const auto aside = parseHiddenName(step.asideName, "replaced");
            if (!aside || aside->visibleName != step.finalName || aside->pid != pid) {
                return std::nullopt;
            }
            // Empty when the old file had gone by the time the record was written.
            if (!record.earlierVersion && !fields[i + 6].empty()) {
                step.oldFile = recordedFileIn(fields, i + 6, false);
                if (!step.oldFile) {
                    return std::nullopt;
                }
            }
        }
        record.steps.push_back(step);
    }
    if (!namesOneJobsOutputs(record.steps)) {
        return std::nullopt;
    }
    return record;
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// What a settling did, as the log says it.
struct Settled {
    std::vector<std::string> removed;
    std::vector<std::string> putBack;
    std::string notes;

    std::string saying(std::string line, const std::string& removedWhat) const {
        if (!removed.empty()) {
            line += ": removed " + removedWhat + " " + listed(removed);
        }
        if (!putBack.empty()) {
            line += "; the old files put back: " + listed(putBack);
        }
        return line + notes;
    }
};

// Gives an old file its name back where that is free; notes where it stays otherwise. Returns
// whether the name was taken.
bool putBack(const fs::path& folder, const NamingStep& step, Settled& settled) {
    const int error = renameWithoutReplacing((folder / step.asideName).string(),
                                             (folder / step.finalName).string());
    if (error == 0) {
        settled.putBack.push_back(step.finalName);
        return false;
    }
    settled.notes += "; the old " + step.finalName + " is kept as " + step.asideName;
    return true;
}

// Finishes or undoes the renames; returns the line for the log, and whether the record is done
// with (false when an old file could not get its name back: a later run tries again).
std::pair<std::string, bool> settle(const fs::path& folder, const std::vector<NamingStep>& steps) {
    auto at = [&](const std::string& name) { return (folder / name).string(); };
    bool finished = true;
    std::vector<std::string> names;
    for (const NamingStep& step : steps) {
        finished = finished && recordedFileAt(at(step.finalName)) == step.newFile;
        names.push_back(step.finalName);
    }
    Settled settled;
    const auto isTheOldFile = [&](const NamingStep& step) {
        const auto aside = recordedFileAt(at(step.asideName));
        if (aside && aside != step.oldFile) {
            settled.notes +=
                "; " + step.asideName + " is kept: it is not the file the run moved aside";
        }
        return aside && aside == step.oldFile;
    };
    if (finished) {
        for (const NamingStep& step : steps) {
            if (!step.asideName.empty() && isTheOldFile(step) &&
                ::unlink(at(step.asideName).c_str()) == 0) {
                settled.removed.push_back(step.asideName);
            }
        }
        return {
            settled.saying("finished the naming of " + listed(names) + " that an ended run began",
                           "the old files it had moved aside:"),
            true};
    }
    for (const NamingStep& step : steps) {
        if (recordedFileAt(at(step.finalName)) == step.newFile &&
            ::unlink(at(step.finalName).c_str()) == 0) {
            settled.removed.push_back(step.finalName);
        }
    }
    bool retry = false;
    for (const NamingStep& step : steps) {
        if (!step.asideName.empty() && isTheOldFile(step)) {
            retry = putBack(folder, step, settled) || retry;
        }
    }
    return {settled.saying("undid the naming of " + listed(names) + " that an ended run began",
                           "the new files it had named:"),
            !retry};
}

// A record of the earlier version cannot show which files its run wrote: nothing is removed,
// and only old files whose names are free get them back.
std::string settleEarlierVersion(const fs::path& folder, const std::vector<NamingStep>& steps) {
    std::vector<std::string> names;
    Settled settled;
    for (const NamingStep& step : steps) {
        names.push_back(step.finalName);
        if (!step.asideName.empty() && identityAt((folder / step.asideName).string())) {
            putBack(folder, step, settled);
        }
    }
    return settled.saying("a naming record of an earlier version, of a run that ended naming " +
                              listed(names) +
                              ", removes nothing (it cannot show which files the run wrote)",
                          "");
}

} // namespace

std::optional<RecordedFile> recordedFileAt(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return recordedFileOfStatus(status);
}

std::optional<RecordedFile> recordedFileOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    return recordedFileOfStatus(status);
}

NamingRecord::NamingRecord(const std::string& folder, const std::vector<NamingStep>& steps) {
    fd_ = createRunRecord(folder, kRecordPrefix, O_RDWR, path_);
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
    std::vector<std::string> lines;
    visitRecordsOfEndedRuns(
        folder, kRecordPrefix, [&](const std::string& name, pid_t pid, const std::string& text) {
            const auto decoded = decode(text, pid);
            if (!decoded) {
                lines.push_back("tidy: removed " + name +
                                ", a naming record cut short or naming files no job writes; "
                                "nothing else touched");
                return true;
            }
            if (decoded->earlierVersion) {
                lines.push_back("tidy: " + settleEarlierVersion(folder, decoded->steps));
                return true;
            }
            auto [line, settled] = settle(folder, decoded->steps);
            lines.push_back("tidy: " + line);
            return settled;
        });
    return lines;
}

} // namespace cantova
