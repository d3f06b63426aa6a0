#pragma once

// The saved job lists in the state folder. Every running program keeps its own list there
// ("queue-<pid>-<n>.list") and holds a lock on a file beside it ("...lock") for as long as it
// runs, so that two programs never write or take each other's list. A list whose lock nobody
// holds was left by a program that ended without cleaning up (or kept on purpose at its exit).

#include "jobs/saved_queue.h"

#include <string>
#include <vector>

namespace cantova::jobs {

// The list of this program.
class OwnListFile {
public:
    // Makes the folder when it is missing (for the user alone) and takes a lock of its own;
    // usable() tells whether that worked.
    explicit OwnListFile(const std::string& folder);
    // Gives up the lock; the list stays as last written.
    ~OwnListFile();
    OwnListFile(const OwnListFile&) = delete;
    OwnListFile& operator=(const OwnListFile&) = delete;

    bool usable() const { return lock_ >= 0; }
    const std::string& path() const { return listPath_; }
    // Replaces the list atomically with text; false when it could not be written.
    bool Save(const std::string& text);
    // Removes the list (and, with the lock, the lock file): nothing to take back.
    void Remove();
    void RemoveWithLock();

private:
    std::string listPath_;
    std::string lockPath_;
    std::string temporaryPath_;
    int lock_ = -1;
};

// A list left by another program, locked for this one until it is dropped.
class LeftList {
public:
    LeftList(std::string listPath, std::string lockPath, int lock, SavedQueue saved);
    ~LeftList();
    LeftList(LeftList&& other) noexcept;
    LeftList& operator=(LeftList&&) = delete;
    LeftList(const LeftList&) = delete;

    const std::string& path() const { return listPath_; }
    const SavedQueue& saved() const { return saved_; }
    // Removes the list and its lock file, once its jobs have been taken back or discarded.
    void Forget();

private:
    std::string listPath_;
    std::string lockPath_;
    int lock_;
    SavedQueue saved_;
};

// The lists in folder that no running program holds, oldest first, each locked for the caller.
// Lock files without a list are removed; lists that cannot be read are passed over.
std::vector<LeftList> FindLeftLists(const std::string& folder);

} // namespace cantova::jobs
