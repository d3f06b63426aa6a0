#pragma once

// The saved job lists in the state folder. Every running program keeps its own list there
// ("queue-<pid>-<n>.list") and holds a lock on a file beside it ("...lock") for as long as it
// runs, so that two programs never write or take each other's list. A list whose lock nobody
// holds was left by a program that ended without cleaning up (or kept on purpose at its exit).

#include "jobs/saved_queue.h"

#include <filesystem>
#include <optional>
#include <string>

namespace cantova::jobs {

// The names of the files in the state folder: "queue-<pid>-<n>" and an ending.
inline constexpr std::string_view kListPrefix = "queue-";
inline constexpr std::string_view kListEnding = ".list";
inline constexpr std::string_view kLockEnding = ".lock";
inline constexpr std::string_view kTemporaryEnding = ".tmp";

// The path without the ending.
std::string StemOf(const std::string& path, std::string_view ending);

// Opens (or makes) a lock file and locks it without waiting; -1 when another holds it.
int LockFile(const std::string& path);

// Whether the locked descriptor is still the file at path: another program may have removed the
// file (and another made a new one) between the open and the lock.
bool StillAt(int fd, const std::string& path);

// The list of this program.
class OwnListFile {
public:
    // Makes the folder when it is missing (for the user alone) and takes a lock of its own;
    // usable() tells whether that worked, problem() why not.
    explicit OwnListFile(const std::string& folder);
    // Gives up the lock; the list stays as last written.
    ~OwnListFile();
    OwnListFile(const OwnListFile&) = delete;
    OwnListFile& operator=(const OwnListFile&) = delete;

    bool usable() const { return lock_ >= 0; }
    const std::string& path() const { return listPath_; }
    // Why the folder cannot hold the list or the last save failed ("PATH: REASON").
    const std::string& problem() const { return problem_; }
    // Replaces the list atomically with text; false (and problem() says why) when it could not
    // be written.
    bool Save(const std::string& text);
    // Removes the list (and, with the lock, the lock file): nothing to take back.
    void Remove();
    void RemoveWithLock();

private:
    std::string listPath_;
    std::string lockPath_;
    std::string temporaryPath_;
    std::string problem_;
    int lock_ = -1;
};

// A list left by another program, locked for this one until it is dropped.
class LeftList {
public:
    // savedAt: when the list was last written, by the program that left it.
    LeftList(std::string listPath, std::string lockPath, int lock, SavedQueue saved,
             std::filesystem::file_time_type savedAt);
    ~LeftList();
    LeftList(LeftList&& other) noexcept;
    LeftList& operator=(LeftList&&) = delete;
    LeftList(const LeftList&) = delete;

    const std::string& path() const { return listPath_; }
    const SavedQueue& saved() const { return saved_; }
    std::filesystem::file_time_type savedAt() const { return savedAt_; }
    // Removes the list and its lock file, once its jobs have been taken back or discarded.
    void Forget();

private:
    std::string listPath_;
    std::string lockPath_;
    int lock_;
    SavedQueue saved_;
    std::filesystem::file_time_type savedAt_;
};

} // namespace cantova::jobs
