#pragma once

#include "files/file_identity.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cantova {

class PartsRecord;

// The files a job writes. Each is made as an unnamed file in its final folder (O_TMPFILE),
// which the engines reach through its descriptor, and gets its name only when the job has
// succeeded: no half-written file ever carries a name, no planted link sits at a name the job
// writes through, and however the transcoder ends, an unfinished file vanishes with the last
// descriptor. Where the file system has no unnamed files, a hidden name of its own is created
// exclusively (".<name>.part-<pid>-<n><ext>", listed in a PartsRecord) and removed at the end
// instead.
class OutputFiles {
public:
    // channelSuffixes: empty for one output file, else one file per suffix, named after the
    // output with "_" and the suffix before the extension (Stream1_FL.wav). Notes which final
    // names exist now: only those may be replaced. Throws std::runtime_error when a file cannot
    // be made or a final name is a folder.
    OutputFiles(const std::string& output, const std::vector<std::string>& channelSuffixes);
    ~OutputFiles(); // an uncommitted file is discarded
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // The names the job writes, before anything is made.
    static std::vector<std::string> finalNames(const std::string& output,
                                               const std::vector<std::string>& channelSuffixes);

    const std::vector<std::string>& finalPaths() const { return finalPaths_; }
    // The open files, one per final path, for the engines to write through.
    std::vector<int> descriptors() const;

    // Gives every file its final name, all or nothing. Files that were there when the job
    // began are moved aside first and put back if any step fails; a name that was free when the
    // job began is never taken from whoever has written it since ("the output appeared during
    // the run"), nor one whose file was replaced meanwhile. Throws std::runtime_error with the
    // reason, every final name then holding what it held before. A record of the renames
    // (NamingRecord) lets the next run in the folder finish or undo them when this process is
    // killed half way.
    void commit();

private:
    struct File {
        std::string finalPath;
        int fd = -1;
        std::string temporaryName;             // empty for an unnamed file
        std::optional<FileIdentity> beforeJob; // the file under the final name when the job began
        std::string plannedAside;              // the free hidden name chosen for that file
        std::string aside;                     // where that file waits while the new one is placed
        bool placed = false;
    };

    void discard();
    void create(File& file);
    // The name (without folder) the old file will be moved to; empty when there is none.
    std::string chooseAsideName(File& file);
    // Whether the old file was moved aside.
    bool moveAside(File& file);
    void place(File& file);
    // Undoes the steps taken so far; returns notes on what could not be put back.
    std::string rollBack();

    std::vector<File> files_;
    std::vector<std::string> finalPaths_;
    std::unique_ptr<PartsRecord> partsRecord_; // the files made under hidden names
    bool committed_ = false;
};

} // namespace cantova
