#include "jobs/left_lists.h"

#include "jobs/job_files.h"
#include "jobs/left_files.h"
#include "settings/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace cantova::jobs {

namespace {

namespace fs = std::filesystem;

// Why the lists in the folder are not to be trusted: another user, or anyone besides the user,
// could have put them there. Nothing when they can be (or there is no folder to read).
std::optional<std::string> FolderProblem(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    if (info.st_uid != geteuid() || (info.st_mode & 022) != 0) {
        return "the saved job lists in " + folder +
               " are not read: the folder is not the user's own, or others may write to it";
    }
    return std::nullopt;
}

// A list's text, or why it is not read (refused) or cannot be (damaged).
struct ListText {
    std::optional<std::string> text;
    std::optional<std::string> refused;
    std::optional<std::string> damaged;
};

// Reads only a regular file of the user's own, and only up to kLargestList.
ListText ReadList(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return {std::nullopt, "it cannot be opened", std::nullopt};
    }
    struct stat info {};
    ListText result;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.refused = "it is no ordinary file";
    } else if (info.st_uid != geteuid()) {
        result.refused = "it is not the user's own file";
    } else if (static_cast<std::size_t>(info.st_size) > kLargestList) {
        result.damaged = "it is larger than " + std::to_string(kLargestList >> 20) + " MiB";
    } else {
        std::string text;
        char buffer[65536];
        ssize_t got = 0;
        while (text.size() <= kLargestList && (got = read(fd, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        if (got < 0) {
            result.refused = "it cannot be read";
        } else if (text.size() > kLargestList) {
            result.damaged = "it is larger than " + std::to_string(kLargestList >> 20) + " MiB";
        } else {
            result.text = std::move(text);
        }
    }
    close(fd);
    return result;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) {
        joined += (joined.empty() ? "" : "; ") + part;
    }
    return joined;
}

bool Empty(const SavedQueue& saved) {
    return saved.jobs.empty() && !saved.runJobFile && !saved.runFolder;
}

// Renames the damaged list aside and saves what could be read of it in its place: the path it
// was put aside under, nothing when it could not be.
std::optional<std::string> PutAside(const std::string& path, const SavedQueue& readable) {
    const std::optional<std::string> aside = MakeUniqueName(path + ".damaged");
    if (!aside || rename(path.c_str(), aside->c_str()) != 0) {
        return std::nullopt;
    }
    if (!Empty(readable)) {
        const std::string temporary = StemOf(path, kListEnding) + std::string(kTemporaryEnding);
        unlink(temporary.c_str());
        if (settings::CreateFileExclusively(temporary, FormatSavedQueue(readable)) ==
                settings::CreateResult::Created &&
            rename(temporary.c_str(), path.c_str()) != 0) {
            unlink(temporary.c_str());
        }
    }
    return aside;
}

// What a running program's list names.
void NoteNames(const std::string& path, std::set<std::string>& named) {
    const ListText read = ReadList(path);
    if (!read.text) {
        return;
    }
    const SavedQueue saved = ReadSavedQueue(*read.text).saved;
    for (const Job& job : saved.jobs) {
        named.insert(job.settingsFile);
    }
    for (const auto& file : {saved.runJobFile, saved.runFolder}) {
        if (file) {
            named.insert(*file);
        }
    }
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// A lock without a list (its program ended with nothing to take back), and the temporary list of
// a program killed while it saved, unless their program still runs.
void TidyLeftover(const std::string& path) {
    const bool temporary = path.ends_with(kTemporaryEnding);
    if (!temporary && !path.ends_with(kLockEnding)) {
        return;
    }
    const std::string stem = StemOf(path, temporary ? kTemporaryEnding : kLockEnding);
    const std::string lockPath = stem + std::string(kLockEnding);
    const std::string listPath = stem + std::string(kListEnding);
    if (!temporary && Exists(listPath)) {
        return;
    }
    const int fd = LockFile(lockPath);
    if (fd < 0) {
        return;
    }
    if (StillAt(fd, lockPath)) {
        struct stat info {};
        if (temporary && lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            unlink(path.c_str());
        }
        if (!Exists(listPath)) {
            unlink(lockPath.c_str());
        }
    }
    close(fd);
}

} // namespace

LeftLists FindLeftLists(const std::string& folder, bool tidy) {
    LeftLists found;
    if (const std::optional<std::string> problem = FolderProblem(folder)) {
        found.problems.push_back(*problem);
        return found;
    }
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, std::string>> listPaths;
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kListPrefix)) {
            continue;
        }
        if (name.ends_with(kListEnding)) {
            listPaths.emplace_back(fs::last_write_time(entry.path(), error), entry.path());
        } else {
            others.push_back(entry.path());
        }
    }
    if (tidy) {
        std::for_each(others.begin(), others.end(), TidyLeftover);
    }
    std::sort(listPaths.begin(), listPaths.end());
    for (const auto& [when, path] : listPaths) {
        const std::string lockPath = StemOf(path, kListEnding) + std::string(kLockEnding);
        const int lock = LockFile(lockPath);
        if (lock < 0) {
            // Its program still runs (or another takes it right now): what it names is its own.
            NoteNames(path, found.namedByRunning);
            continue;
        }
        const ListText read = StillAt(lock, lockPath) ? ReadList(path) : ListText{};
        if (!read.text && !read.damaged) {
            if (read.refused) {
                found.problems.push_back("the job list " + path + " is not read: " + *read.refused);
            }
            close(lock);
            continue;
        }
        SavedQueueReading reading =
            read.text ? ReadSavedQueue(*read.text) : SavedQueueReading{{}, {*read.damaged}};
        std::vector<Job> jobs;
        for (Job& job : reading.saved.jobs) {
            if (const std::optional<std::string> problem = SettingsFileProblem(job)) {
                reading.problems.push_back("the job of \"" + job.source +
                                           "\" is left out: " + *problem);
            } else {
                jobs.push_back(std::move(job));
            }
        }
        reading.saved.jobs = std::move(jobs);
        if (!reading.problems.empty()) {
            std::string text = "the job list " + path + " is damaged (" + Joined(reading.problems) +
                               "): " + std::to_string(reading.saved.jobs.size()) +
                               " job(s) in it can be taken back";
            const std::optional<std::string> aside =
                tidy ? PutAside(path, reading.saved) : std::nullopt;
            if (aside) {
                text += "; the damaged list is kept as " + *aside;
            }
            found.problems.push_back(text);
            if (aside && Empty(reading.saved)) {
                unlink(lockPath.c_str());
                close(lock);
                continue; // nothing is left to take back
            }
        }
        found.lists.emplace_back(path, lockPath, lock, std::move(reading.saved), when);
    }
    return found;
}

} // namespace cantova::jobs
