#pragma once

#include <string>
#include <vector>

namespace cantova {

// The temporary outputs a job makes under hidden names (".<name>.part-<pid>-<n><ext>", where
// the file system has no unnamed files), listed as each is made in ".cantova-parts-<pid>-<n>"
// in the output folder: created exclusively, locked while the job runs and removed with the
// job. It is what shows the next run in the folder which such files an ended run made.
class PartsRecord {
public:
    // Throws std::runtime_error when the record cannot be made.
    explicit PartsRecord(const std::string& folder);
    ~PartsRecord(); // removes the record
    PartsRecord(const PartsRecord&) = delete;
    PartsRecord& operator=(const PartsRecord&) = delete;

    // Lists the file open at fd under its name (without folder); throws std::runtime_error when
    // the record cannot take it.
    void add(const std::string& name, int fd);

private:
    std::string path_;
    std::string folder_;
    int fd_ = -1;
};

// Removes the temporary outputs that the records of ended runs in folder list, each only while
// it is the file listed: the same name (a temporary output's, of that run's process), device and
// inode, a regular file of this user. Then the records go. Returns the names removed.
std::vector<std::string> removeRecordedParts(const std::string& folder);

} // namespace cantova
