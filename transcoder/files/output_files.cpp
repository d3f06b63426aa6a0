#include "files/output_files.h"

#include "files/hidden_names.h"
#include "files/naming_record.h"
#include "files/parts_record.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& message, int error) {
    throw std::runtime_error(message + ": " + std::strerror(error));
}

std::string folderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::optional<FileIdentity> identityOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

// The test hook that lets a test kill the transcoder in the middle of the naming: with
// CANTOVA_TEST_PAUSE_NAMING=N set, the process says "naming paused" on its standard output after
// its N-th rename and waits there until it is killed.
void pauseForTestAfterRename(int renamesDone) {
    const char* pauseAfter = std::getenv("CANTOVA_TEST_PAUSE_NAMING");
    if (pauseAfter == nullptr || std::to_string(renamesDone) != pauseAfter) {
        return;
    }
    constexpr char kPaused[] = "naming paused\n";
    if (::write(STDOUT_FILENO, kPaused, sizeof kPaused - 1) > 0) {
        while (true) {
            ::pause();
        }
    }
}

} // namespace

std::vector<std::string> OutputFiles::finalNames(const std::string& output,
                                                 const std::vector<std::string>& channelSuffixes) {
    const fs::path path(output);
    const std::string stem = path.stem().string();
    const std::string extension = path.extension().string();
    if (channelSuffixes.empty()) {
        return {output};
    }
    std::vector<std::string> names;
    for (const std::string& suffix : channelSuffixes) {
        names.push_back((path.parent_path() / (stem + "_" + suffix + extension)).string());
    }
    return names;
}

OutputFiles::OutputFiles(const std::string& output, const std::vector<std::string>& channelSuffixes)
    : finalPaths_(finalNames(output, channelSuffixes)) {
    try {
        for (const std::string& finalPath : finalPaths_) {
            File& file = files_.emplace_back();
            file.finalPath = finalPath;
            struct stat status {};
            if (::lstat(finalPath.c_str(), &status) == 0) {
                if (S_ISDIR(status.st_mode)) {
                    throw std::runtime_error("the output " + finalPath + " is a folder");
                }
                file.beforeJob = FileIdentity{status.st_dev, status.st_ino};
            }
            create(file);
        }
    } catch (...) {
        discard();
        throw;
    }
}

OutputFiles::~OutputFiles() {
    if (!committed_) {
        discard();
    }
    for (File& file : files_) {
        if (file.fd >= 0) {
            ::close(file.fd);
        }
    }
}

void OutputFiles::discard() {
    for (File& file : files_) {
        if (!file.temporaryName.empty()) {
            ::unlink(file.temporaryName.c_str());
            file.temporaryName.clear();
        }
    }
}

void OutputFiles::create(File& file) {
    const std::string folder = folderOf(file.finalPath);
    file.fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (file.fd >= 0) {
        return;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        fail("cannot write in the folder " + folder, errno);
    }
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            hiddenNameBeside(file.finalPath, "part", ::getpid(), numbers() % 1000000);
        file.fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC, 0666);
        if (file.fd >= 0) {
            file.temporaryName = name;
            // Listed, so that the next run here can tell it is this run's if this one is
            // killed: a file not listed is never removed.
            if (!partsRecord_) {
                partsRecord_ = std::make_unique<PartsRecord>(folder);
            }
            partsRecord_->add(fs::path(name).filename().string(), file.fd);
            return;
        }
        if (errno != EEXIST) {
            fail("cannot create a file in " + folder, errno);
        }
    }
    fail("cannot create a file in " + folder, EEXIST);
}

std::vector<int> OutputFiles::descriptors() const {
    std::vector<int> fds;
    for (const File& file : files_) {
        fds.push_back(file.fd);
    }
    return fds;
}

void OutputFiles::commit() {
    for (const File& file : files_) {
        struct stat status {};
        if (::fstat(file.fd, &status) != 0 || status.st_size == 0) {
            throw std::runtime_error("the engines left no output for " + file.finalPath);
        }
    }
    // Written before the first rename and removed after the last: a transcoder killed in
    // between leaves it, and the next run in the folder finishes or undoes the naming.
    std::optional<NamingRecord> record;
    int renamesDone = 0;
    try {
        std::vector<NamingStep> steps;
        for (File& file : files_) {
            NamingStep step{fs::path(file.finalPath).filename().string(), chooseAsideName(file),
                            recordedFileOf(file.fd).value_or(RecordedFile{}), std::nullopt};
            if (!step.asideName.empty()) {
                step.oldFile = recordedFileAt(file.finalPath);
            }
            steps.push_back(step);
        }
        if (files_.size() > 1 || std::any_of(files_.begin(), files_.end(), [](const File& file) {
                return file.beforeJob.has_value();
            })) {
            record.emplace(folderOf(files_.front().finalPath), steps);
        }
        for (File& file : files_) {
            if (moveAside(file)) {
                pauseForTestAfterRename(++renamesDone);
            }
        }
        for (File& file : files_) {
            place(file);
            pauseForTestAfterRename(++renamesDone);
        }
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(error.what() + rollBack());
    }
    for (File& file : files_) {
        if (!file.aside.empty()) {
            ::unlink(file.aside.c_str()); // the file the user agreed to replace
        }
    }
    committed_ = true;
}

std::string OutputFiles::chooseAsideName(File& file) {
    if (!file.beforeJob) {
        return "";
    }
    for (unsigned number = 0; number <= 100; ++number) {
        const std::string aside = hiddenNameBeside(file.finalPath, "replaced", ::getpid(), number);
        if (!identityAt(aside)) {
            file.plannedAside = aside;
            return fs::path(aside).filename().string();
        }
    }
    fail("cannot move the old " + file.finalPath + " aside", EEXIST);
}

bool OutputFiles::moveAside(File& file) {
    if (!file.beforeJob) {
        return false;
    }
    const int error = renameWithoutReplacing(file.finalPath, file.plannedAside);
    if (error == ENOENT) {
        return false; // removed during the run: there is nothing to keep
    }
    if (error != 0) {
        fail("cannot move the old " + file.finalPath + " aside", error);
    }
    file.aside = file.plannedAside;
    if (identityAt(file.aside) != file.beforeJob) {
        throw std::runtime_error("the output " + file.finalPath +
                                 " was replaced by another file during the run");
    }
    return true;
}

void OutputFiles::place(File& file) {
    int error = 0;
    if (file.temporaryName.empty()) {
        const std::string written = "/proc/self/fd/" + std::to_string(file.fd);
        if (::linkat(AT_FDCWD, written.c_str(), AT_FDCWD, file.finalPath.c_str(),
                     AT_SYMLINK_FOLLOW) != 0) {
            error = errno;
        }
    } else {
        error = renameWithoutReplacing(file.temporaryName, file.finalPath);
        if (error == 0) {
            file.temporaryName.clear();
        }
    }
    if (error == EEXIST) {
        throw std::runtime_error("the output " + file.finalPath + " appeared during the run");
    }
    if (error != 0) {
        fail("cannot give the output its name " + file.finalPath, error);
    }
    file.placed = true;
}

std::string OutputFiles::rollBack() {
    std::string notes;
    for (File& file : files_) {
        if (file.placed && identityAt(file.finalPath) == identityOf(file.fd)) {
            ::unlink(file.finalPath.c_str());
        }
        file.placed = false;
    }
    for (File& file : files_) {
        if (!file.aside.empty() && renameWithoutReplacing(file.aside, file.finalPath) != 0) {
            notes += "; the old " + file.finalPath + " is kept as " + file.aside;
        }
        file.aside.clear();
    }
    return notes;
}

} // namespace cantova
