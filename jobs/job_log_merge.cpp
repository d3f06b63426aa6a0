#include "jobs/job_log_merge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cantova::jobs {

namespace {

class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads count bytes from offset on, fewer at the end of the file.
bool ReadAt(int fd, std::uintmax_t offset, std::uintmax_t count, std::string& into) {
    const std::size_t start = into.size();
    into.resize(start + count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n =
            pread(fd, into.data() + start + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    into.resize(start + got);
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The head ends and the tail starts at a line's start, so that no line is cut in two.
std::uintmax_t HeadEnd(const std::string& head) {
    const std::size_t newline = head.rfind('\n');
    return newline == std::string::npos ? head.size() : newline + 1;
}

} // namespace

bool AppendJobLog(const std::string& jobLog, const std::string& runLog, std::string& error,
                  const JobLogLimits& limits) {
    const OpenFile in(open(jobLog.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0) {
        if (errno == ENOENT) {
            return true;
        }
        error = "its log could not be read: " + std::string(std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (fstat(in.get(), &info) != 0) {
        error = "its log could not be read: " + std::string(std::strerror(errno));
        return false;
    }
    const std::uintmax_t size = static_cast<std::uintmax_t>(info.st_size);
    std::string text;
    bool read = false;
    if (size <= limits.maxBytes) {
        read = ReadAt(in.get(), 0, size, text);
    } else {
        const std::uintmax_t tail = std::min(limits.tailBytes, limits.maxBytes / 2);
        std::string head;
        read = ReadAt(in.get(), 0, limits.maxBytes - tail, head);
        head.resize(HeadEnd(head));
        std::string end;
        read = read && ReadAt(in.get(), size - tail, tail, end);
        const std::size_t lineStart = end.find('\n');
        if (lineStart != std::string::npos && lineStart + 1 < end.size()) {
            end.erase(0, lineStart + 1);
        }
        const std::uintmax_t leftOut = size - head.size() - end.size();
        text = head + "[cantova: " + std::to_string(leftOut) +
               " bytes of this job's log (from byte " + std::to_string(head.size()) + " of " +
               std::to_string(size) + ") are left out here; the job's log was too long]\n" + end;
    }
    if (!read) {
        error = "its log could not be read: " + std::string(std::strerror(errno));
        return false;
    }
    if (text.empty()) {
        return true;
    }
    const OpenFile out(
        open(runLog.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (out.get() < 0 || !WriteAll(out.get(), text)) {
        error = "its log could not be added to the run's log: " + std::string(std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace cantova::jobs
