#include "jobs/saved_list_files.h"

#include "settings/atomic_write.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace cantova::jobs {

namespace {

// The program's lists are its own business: the folder is the user's alone. Why it cannot be one.
std::optional<std::string> MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return folder + ": " + (error ? error.message() : std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + ": it is no folder";
    }
    if (info.st_uid != geteuid()) {
        return folder + ": the folder is another user's";
    }
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        return folder + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

} // namespace

std::string StemOf(const std::string& path, std::string_view ending) {
    return path.substr(0, path.size() - ending.size());
}

int LockFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool StillAt(int fd, const std::string& path) {
    struct stat held {
    }, named{};
    return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 &&
           held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

OwnListFile::OwnListFile(const std::string& folder) {
    static std::atomic<int> instances{0};
    if (const std::optional<std::string> problem = MakeFolder(folder)) {
        problem_ = *problem;
        return;
    }
    const std::string stem = folder + "/" + std::string(kListPrefix) + std::to_string(getpid()) +
                             "-" + std::to_string(++instances);
    listPath_ = stem + std::string(kListEnding);
    lockPath_ = stem + std::string(kLockEnding);
    temporaryPath_ = stem + std::string(kTemporaryEnding);
    // A file of that name is what a dead program of the same pid left: its list goes on as ours
    // would not, so it is left alone and this program takes the next name.
    for (int attempt = 0; attempt < 3 && lock_ < 0; ++attempt) {
        const int fd = LockFile(lockPath_);
        if (fd >= 0 && StillAt(fd, lockPath_)) {
            lock_ = fd;
        } else if (fd >= 0) {
            close(fd);
        }
    }
    if (lock_ < 0) {
        problem_ = lockPath_ + ": the lock cannot be taken";
    }
}

OwnListFile::~OwnListFile() {
    if (lock_ >= 0) {
        close(lock_);
    }
}

bool OwnListFile::Save(const std::string& text) {
    if (lock_ < 0) {
        return false;
    }
    unlink(temporaryPath_.c_str());
    errno = 0;
    if (settings::CreateFileExclusively(temporaryPath_, text) != settings::CreateResult::Created) {
        problem_ = temporaryPath_ + ": " + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    // rename replaces the name itself, never what a link planted there points to.
    if (rename(temporaryPath_.c_str(), listPath_.c_str()) != 0) {
        problem_ = listPath_ + ": " + std::strerror(errno);
        unlink(temporaryPath_.c_str());
        return false;
    }
    problem_.clear();
    return true;
}

void OwnListFile::Remove() {
    if (lock_ >= 0) {
        unlink(listPath_.c_str());
    }
}

void OwnListFile::RemoveWithLock() {
    if (lock_ < 0) {
        return;
    }
    unlink(listPath_.c_str());
    unlink(lockPath_.c_str());
    close(lock_);
    lock_ = -1;
}

LeftList::LeftList(std::string listPath, std::string lockPath, int lock, SavedQueue saved,
                   std::filesystem::file_time_type savedAt)
    : listPath_(std::move(listPath)), lockPath_(std::move(lockPath)), lock_(lock),
      saved_(std::move(saved)), savedAt_(savedAt) {}

LeftList::LeftList(LeftList&& other) noexcept
    : listPath_(std::move(other.listPath_)), lockPath_(std::move(other.lockPath_)),
      lock_(std::exchange(other.lock_, -1)), saved_(std::move(other.saved_)),
      savedAt_(other.savedAt_) {}

LeftList::~LeftList() {
    if (lock_ >= 0) {
        close(lock_);
    }
}

void LeftList::Forget() {
    if (lock_ < 0) {
        return;
    }
    unlink(listPath_.c_str());
    unlink((StemOf(listPath_, kListEnding) + std::string(kTemporaryEnding)).c_str());
    unlink(lockPath_.c_str());
    close(lock_);
    lock_ = -1;
}

} // namespace cantova::jobs
