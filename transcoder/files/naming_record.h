#pragma once

#include "files/file_identity.h"

#include <string>
#include <vector>

namespace cantova {

// A file as a naming record knows it: which file it is, and its length and modification time,
// which a rename keeps (its change time does not), so that a recycled inode is not taken for it.
struct RecordedFile {
    FileIdentity identity;
    long long size = 0;
    long long modifiedNanoseconds = 0;
    bool operator==(const RecordedFile&) const = default;
};

// The file at a path (the path itself when it is a link), or open at a descriptor.
std::optional<RecordedFile> recordedFileAt(const std::string& path);
std::optional<RecordedFile> recordedFileOf(int fd);

// One output of a job as it is given its name: the file's name in the output folder, where the
// file that held that name before is moved aside (empty when there was none), the new file and
// the old one.
struct NamingStep {
    std::string finalName;
    std::string asideName;
    RecordedFile newFile;
    std::optional<RecordedFile> oldFile;
};

// What a job is about to rename, written to ".cantova-naming-<pid>-<n>" in the output folder
// (created exclusively, locked) before the first rename and removed after the last, so that a
// transcoder killed in between leaves a record of how far it got. The next run in that folder
// settles it (settleNamingRecords).
class NamingRecord {
public:
    // Throws std::runtime_error when the record cannot be written.
    NamingRecord(const std::string& folder, const std::vector<NamingStep>& steps);
    ~NamingRecord(); // removes the record
    NamingRecord(const NamingRecord&) = delete;
    NamingRecord& operator=(const NamingRecord&) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

// Settles the records that ended runs left in folder: when every new file holds its name, the
// job is finished (the old files moved aside are removed); otherwise it is undone (the new
// files that got a name lose it, the old files get theirs back). A file is removed only when it
// is the one recorded (identity, length and modification time). Records of a living process,
// of another user, or held by another run that is settling them are left alone; a record that
// cannot be read, or that names files no job writes, is removed and nothing else touched. A
// record of an earlier version, which holds no more than device and inode, removes nothing: it
// only gives old files their names back where those are free. Returns one line per record for
// the log.
std::vector<std::string> settleNamingRecords(const std::string& folder);

} // namespace cantova
