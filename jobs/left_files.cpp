#include "jobs/left_files.h"

#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>

namespace cantova::jobs {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRunFolderHead = "cantova-run-";
// How long a running program may take to save a file it made in its list, at most.
constexpr std::chrono::seconds kSettled{10};
// mkdtemp's "XXXXXX".
constexpr std::size_t kRunFolderTailLength = 6;

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A file of the user's own, itself and not a link to one.
bool OwnRegularFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid();
}

fs::path FolderOf(const std::string& path) {
    return fs::path(path).parent_path().lexically_normal();
}

// Whether path is directly in the folder of the job's source or in its output folder, where the
// program makes the job's files. A copy job's output is its source: its output folder is the one
// its settings file names.
bool InFolderOfJob(const std::string& path, const Job& job) {
    const fs::path folder = FolderOf(path);
    if (folder == FolderOf(job.source) || folder == FolderOf(OutputPathOf(job.outputArgument))) {
        return true;
    }
    if (!job.copy || !OwnRegularFile(job.settingsFile)) {
        return false;
    }
    std::string named = settings::ReadIniValue("OUTPUT", "FOLDER", job.settingsFile);
    while (named.size() > 1 && named.back() == '/') {
        named.pop_back();
    }
    return !named.empty() && fs::path(named).lexically_normal() == folder;
}

void RemoveOwnFile(const std::string& path) {
    if (OwnRegularFile(path)) {
        unlink(path.c_str());
    }
}

// "<pid>-<n><ending>": the rest of a partial output's name after ".<stem>.part-".
std::optional<pid_t> WriterOf(std::string_view rest, std::string_view ending) {
    if (!rest.ends_with(ending)) {
        return std::nullopt;
    }
    rest.remove_suffix(ending.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || !AllDigits(rest.substr(0, dash)) ||
        !AllDigits(rest.substr(dash + 1)) || dash > 9) {
        return std::nullopt;
    }
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

// "job<N>.log", the name a job's own log has in the run's private folder.
bool JobLogName(std::string_view name) {
    return name.starts_with("job") && name.ends_with(".log") &&
           AllDigits(name.substr(3, name.size() - 3 - 4));
}

bool RunFolderName(std::string_view name) {
    if (!name.starts_with(kRunFolderHead) ||
        name.size() != kRunFolderHead.size() + kRunFolderTailLength) {
        return false;
    }
    const std::string_view tail = name.substr(kRunFolderHead.size());
    return tail.find_first_not_of(
               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") ==
           std::string_view::npos;
}

// The number N of a settings file name "<base>.stream<N>.aud"; nothing for other names.
std::optional<int> SettingsFileNumber(std::string_view name) {
    constexpr std::string_view kStream = ".stream", kEnding = ".aud";
    const std::size_t stream = name.rfind(kStream);
    if (!name.ends_with(kEnding) || stream == std::string_view::npos || stream == 0) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(
        stream + kStream.size(), name.size() - kEnding.size() - stream - kStream.size());
    if (!AllDigits(digits) || digits.size() > 9) {
        return std::nullopt;
    }
    return std::stoi(std::string(digits));
}

} // namespace

std::optional<std::string> SettingsFileProblem(const Job& job) {
    if (!IsSettingsFileName(FileNamePart(job.settingsFile), job.source) ||
        !InFolderOfJob(job.settingsFile, job)) {
        return "its settings file \"" + job.settingsFile +
               "\" is none the program makes for the source \"" + job.source + "\"";
    }
    return std::nullopt;
}

void RemoveSettingsFile(const Job& job) {
    if (!SettingsFileProblem(job)) {
        RemoveOwnFile(job.settingsFile);
    }
}

void RemovePartialOutputs(const Job& job) {
    for (const std::string& output : JobOutputFiles(job.record())) {
        const fs::path path(output);
        const std::string head = "." + path.stem().string() + ".part-";
        const std::string ending = path.extension().string();
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(path.parent_path(), error)) {
            const std::string name = entry.path().filename().string();
            const std::optional<pid_t> writer =
                name.starts_with(head)
                    ? WriterOf(std::string_view(name).substr(head.size()), ending)
                    : std::nullopt;
            if (writer && kill(*writer, 0) != 0 && errno == ESRCH) {
                RemoveOwnFile(entry.path().string());
            }
        }
    }
}

void RemoveJobFiles(const Job& job) {
    if (job.status == JobStatus::Running) {
        RemovePartialOutputs(job);
    }
    RemoveSettingsFile(job);
}

void RemoveRunJobFile(const std::optional<std::string>& path, const std::vector<Job>& jobs) {
    if (!path) {
        return;
    }
    for (const Job& job : jobs) {
        if (IsJobFileName(FileNamePart(*path), job.source) && InFolderOfJob(*path, job)) {
            RemoveOwnFile(*path);
            return;
        }
    }
}

void RemoveRunFolder(const std::optional<std::string>& folder) {
    struct stat info {};
    if (!folder || !RunFolderName(fs::path(*folder).filename().string()) ||
        lstat(folder->c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        return;
    }
    std::vector<std::string> logs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(*folder, error)) {
        if (!JobLogName(entry.path().filename().string()) ||
            !OwnRegularFile(entry.path().string())) {
            return; // something the program never puts there: the folder is not the run's
        }
        logs.push_back(entry.path().string());
    }
    if (error) {
        return;
    }
    for (const std::string& log : logs) {
        unlink(log.c_str());
    }
    rmdir(folder->c_str());
}

void RemoveUnsavedJobFiles(const std::vector<Job>& jobs, fs::file_time_type since,
                           const std::set<std::string>& named) {
    const fs::file_time_type settled = fs::file_time_type::clock::now() - kSettled;
    int lastNumber = 0;
    std::set<fs::path> folders;
    for (const Job& job : jobs) {
        lastNumber = std::max(lastNumber, job.number);
        folders.insert(FolderOf(job.source));
        folders.insert(FolderOf(OutputPathOf(job.outputArgument)));
    }
    // Jobs added after the save have higher numbers than every job in it, and their sources
    // need not be any of the list's; a run's job file is named after the source of one of its
    // jobs, and a run started is saved at once.
    const auto unsaved = [&](const std::string& path, const std::string& name) {
        if (const std::optional<int> number = SettingsFileNumber(name)) {
            return *number > lastNumber;
        }
        return std::any_of(jobs.begin(), jobs.end(), [&](const Job& job) {
            return IsJobFileName(name, job.source) && InFolderOfJob(path, job);
        });
    };
    for (const fs::path& folder : folders) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const std::string path = entry.path().string();
            std::error_code timeError;
            const fs::file_time_type written = fs::last_write_time(entry.path(), timeError);
            if (!timeError && written >= since && written < settled && named.count(path) == 0 &&
                unsaved(path, entry.path().filename().string())) {
                RemoveOwnFile(path);
            }
        }
    }
}

} // namespace cantova::jobs
