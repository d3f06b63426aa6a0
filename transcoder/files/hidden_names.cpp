#include "files/hidden_names.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>

namespace cantova {

namespace {

namespace fs = std::filesystem;

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
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

} // namespace cantova
