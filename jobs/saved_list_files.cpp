#include "jobs/saved_list_files.h"

#include "settings/atomic_write.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <utility>

namespace cantova::jobs {

namespace {

constexpr const char* kPrefix = "queue-";
constexpr const char* kListEnding = ".list";
constexpr const char* kLockEnding = ".lock";

// The program's lists are its own business: the folder is the user's alone.
bool MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        return false;
    }
    return (info.st_mode & 077) == 0 || chmod(folder.c_str(), 0700) == 0;
}

// Opens (or makes) a lock file and locks it without waiting; -1 when another holds it.
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

// Whether the locked descriptor is still the file at path: another program may have removed
// the file (and another made a new one) between the open and the lock.
bool StillAt(int fd, const std::string& path) {
    struct stat held {
    }, named{};
    return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 &&
           held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

std::optional<std::string> ReadRegularFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::string text;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char buffer[65536];
        ssize_t got = 0;
        while ((got = read(fd, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        close(fd);
        return got == 0 ? std::optional(text) : std::nullopt;
    }
    close(fd);
    return std::nullopt;
}

std::string Stem(const std::string& path, const char* ending) {
    return path.substr(0, path.size() - std::string(ending).size());
}

} // namespace

OwnListFile::OwnListFile(const std::string& folder) {
    static std::atomic<int> instances{0};
    if (!MakeFolder(folder)) {
        return;
    }
    const std::string stem =
        folder + "/" + kPrefix + std::to_string(getpid()) + "-" + std::to_string(++instances);
    listPath_ = stem + kListEnding;
    lockPath_ = stem + kLockEnding;
    temporaryPath_ = stem + ".tmp";
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
    if (settings::CreateFileExclusively(temporaryPath_, text) != settings::CreateResult::Created) {
        return false;
    }
    // rename replaces the name itself, never what a link planted there points to.
    if (rename(temporaryPath_.c_str(), listPath_.c_str()) != 0) {
        unlink(temporaryPath_.c_str());
        return false;
    }
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

LeftList::LeftList(std::string listPath, std::string lockPath, int lock, SavedQueue saved)
    : listPath_(std::move(listPath)), lockPath_(std::move(lockPath)), lock_(lock),
      saved_(std::move(saved)) {}

LeftList::LeftList(LeftList&& other) noexcept
    : listPath_(std::move(other.listPath_)), lockPath_(std::move(other.lockPath_)),
      lock_(std::exchange(other.lock_, -1)), saved_(std::move(other.saved_)) {}

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
    unlink((Stem(listPath_, kListEnding) + ".tmp").c_str());
    unlink(lockPath_.c_str());
    close(lock_);
    lock_ = -1;
}

std::vector<LeftList> FindLeftLists(const std::string& folder) {
    std::error_code error;
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> listPaths;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix)) {
            continue;
        }
        const std::string path = entry.path().string();
        if (name.ends_with(kListEnding)) {
            listPaths.emplace_back(std::filesystem::last_write_time(path, error), path);
            continue;
        }
        // A lock without a list: its program ended with nothing to take back.
        const std::string list = Stem(path, kLockEnding) + kListEnding;
        if (name.ends_with(kLockEnding) &&
            !std::filesystem::exists(std::filesystem::symlink_status(list, error))) {
            if (const int fd = LockFile(path); fd >= 0) {
                if (StillAt(fd, path) &&
                    !std::filesystem::exists(std::filesystem::symlink_status(list, error))) {
                    unlink(path.c_str());
                }
                close(fd);
            }
        }
    }
    std::sort(listPaths.begin(), listPaths.end());
    std::vector<LeftList> lists;
    for (const auto& [when, path] : listPaths) {
        const std::string lockPath = Stem(path, kListEnding) + kLockEnding;
        const int lock = LockFile(lockPath);
        if (lock < 0) {
            continue; // its program still runs, or another takes it right now
        }
        const std::optional<std::string> text =
            StillAt(lock, lockPath) ? ReadRegularFile(path) : std::nullopt;
        std::optional<SavedQueue> saved = text ? ParseSavedQueue(*text) : std::nullopt;
        if (!saved) {
            close(lock);
            continue;
        }
        lists.emplace_back(path, lockPath, lock, std::move(*saved));
    }
    return lists;
}

} // namespace cantova::jobs
