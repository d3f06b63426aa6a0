#pragma once

#include "files/output_files.h"

#include <string>
#include <vector>

namespace cantova {

// One output of a job as it is given its name: the file's name in the output folder, where the
// file that held that name before is moved aside (empty when there was none), and the new file.
struct NamingStep {
    std::string finalName;
    std::string asideName;
    FileIdentity newFile;
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
// files that got a name lose it, the old files get theirs back). Records of a living process,
// of another user, or held by another run that is settling them are left alone; a record that
// cannot be read is removed, since it was cut before the first rename. Returns one line per
// record for the log.
std::vector<std::string> settleNamingRecords(const std::string& folder);

} // namespace cantova
