#include "files/run_log.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova {

RunLog::RunLog(std::string path) : path_(std::move(path)) {
    // Without O_NONBLOCK, opening a FIFO waits for a reader; with it, it fails at once (ENXIO)
    // or succeeds and is told apart below.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                 0666);
    if (fd_ < 0) {
        if (errno == ENXIO || errno == EISDIR) {
            refusal_ = "the log " + path_ + " is not a regular file";
        } else {
            failure_ = "the log " + path_ + " cannot be opened: " + std::strerror(errno);
        }
        return;
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        refusal_ = "the log " + path_ + " is not a regular file";
        ::close(fd_);
        fd_ = -1;
        return;
    }
    ::fcntl(fd_, F_SETFL, O_APPEND);
}

RunLog::~RunLog() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<FileIdentity> RunLog::identity() const {
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

void RunLog::beginEntry(const std::string& argumentLine) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    write(std::string("==== ") + stamp + " ====");
    write("arguments: " + argumentLine);
}

void RunLog::write(const std::string& line) {
    const std::string text = line + '\n';
    std::size_t done = 0;
    while (fd_ >= 0 && done < text.size()) {
        const ssize_t count = ::write(fd_, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (failure_.empty()) {
                failure_ = "the log " + path_ +
                           " could not be written: " + std::strerror(count < 0 ? errno : ENOSPC);
            }
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    if (done < text.size() && refusal_.empty()) {
        std::cerr << "Cantova: cannot append to the log " << path_ << ": " << line << '\n';
    }
}

void RunLog::writeIndented(const std::string& text) {
    std::istringstream lines(text);
    std::string block;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        block += (block.empty() ? "    " : "\n    ") + line;
    }
    if (!block.empty()) {
        write(block);
    }
}

} // namespace cantova
