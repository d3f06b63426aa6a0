#include "files/hidden_names.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

namespace {

namespace fs = std::filesystem;

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr std::size_t kLargestRecord = 1 << 20;

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    while (text.size() <= kLargestRecord) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

// The process id in "<pid>-<n>"; nothing for any other text.
std::optional<pid_t> recordProcess(const std::string& numbers) {
    const std::size_t dash = numbers.find('-');
    if (dash == std::string::npos || !isNumber(numbers.substr(0, dash)) ||
        !isNumber(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(numbers.substr(0, dash)));
    return pid > 0 ? std::optional<pid_t>(pid) : std::nullopt;
}

} // namespace

std::string hiddenNameBeside(const std::string& path, const std::string& mark, pid_t pid,
                             unsigned number) {
    const fs::path final(path);
    const fs::path folder = final.parent_path().empty() ? fs::path(".") : final.parent_path();
    return (folder / ("." + final.stem().string() + "." + mark + "-" + std::to_string(pid) + "-" +
                      std::to_string(number) + final.extension().string()))
        .string();
}

std::optional<HiddenName> parseHiddenName(const std::string& fileName, const std::string& mark) {
    const std::string extension = fs::path(fileName).extension().string();
    if (fileName.size() < 2 || fileName[0] != '.' || extension.size() < 2 ||
        fileName.find('/') != std::string::npos) {
        return std::nullopt;
    }
    const std::string body = fileName.substr(1, fileName.size() - 1 - extension.size());
    const std::string separator = "." + mark + "-";
    const std::size_t markAt = body.rfind(separator);
    if (markAt == std::string::npos || markAt == 0) {
        return std::nullopt;
    }
    const std::string numbers = body.substr(markAt + separator.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string::npos || !isNumber(numbers.substr(0, dash)) ||
        !isNumber(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(numbers.substr(0, dash)));
    if (pid <= 0) {
        return std::nullopt;
    }
    return HiddenName{body.substr(0, markAt) + extension, pid};
}

bool processHasEnded(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

int createRunRecord(const std::string& folder, const std::string& prefix, int accessFlags,
                    std::string& path) {
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (fs::path(folder) /
                (prefix + std::to_string(::getpid()) + "-" + std::to_string(numbers() % 1000000)))
                   .string();
        const int fd =
            ::open(path.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | accessFlags, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void visitRecordsOfEndedRuns(
    const std::string& folder, const std::string& prefix,
    const std::function<bool(const std::string& name, pid_t pid, const std::string& text)>& visit) {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(prefix)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const fs::path record = fs::path(folder) / name;
        const auto pid = recordProcess(name.substr(prefix.size()));
        if (!pid || !processHasEnded(*pid)) {
            continue;
        }
        const int fd = ::open(record.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat status {};
        struct stat named {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            status.st_nlink == 1 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(record.c_str(), &named) == 0 && named.st_dev == status.st_dev &&
            named.st_ino == status.st_ino && visit(name, *pid, readAll(fd))) {
            ::unlink(record.c_str());
        }
        ::close(fd);
    }
}

} // namespace cantova
