#include "jobs/kept_curves.h"

#include "settings/atomic_write.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova::jobs {

namespace {

namespace fs = std::filesystem;

// The curves files are small; a larger one is no such file.
constexpr off_t kMostCurvesBytes = 4 * 1024 * 1024;
constexpr std::string_view kCurvesFileStart = "cantova-loudness ";

// The whole text of a regular file of at most kMostCurvesBytes, never read through a link.
std::optional<std::string> ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_size <= kMostCurvesBytes) {
        std::string read(static_cast<std::size_t>(status.st_size), '\0');
        ssize_t got = 0;
        std::size_t at = 0;
        while (at < read.size() && (got = ::read(fd, read.data() + at, read.size() - at)) > 0) {
            at += static_cast<std::size_t>(got);
        }
        if (got >= 0) {
            read.resize(at);
            text = std::move(read);
        }
    }
    ::close(fd);
    return text;
}

// Whether what lies at path is a curves file an earlier job of this user left there.
bool IsEarlierCurvesFile(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::geteuid() || status.st_nlink != 1) {
        return false;
    }
    const std::optional<std::string> text = ReadSmallFile(path);
    return text && text->starts_with(kCurvesFileStart);
}

} // namespace

std::string CurvesPathBesideLog(const std::string& logPath, const std::string& outputPath) {
    const fs::path log(logPath);
    return (log.parent_path() /
            (log.stem().string() + "." + fs::path(outputPath).filename().string() + ".loudness"))
        .string();
}

std::optional<std::string> KeepCurvesBesideLog(const std::string& curvesFile,
                                               const std::string& logPath,
                                               const std::string& outputPath) {
    const std::optional<std::string> text = ReadSmallFile(curvesFile);
    if (!text || !text->starts_with(kCurvesFileStart)) {
        return std::nullopt;
    }
    const std::string kept = CurvesPathBesideLog(logPath, outputPath);
    if (IsEarlierCurvesFile(kept)) {
        ::unlink(kept.c_str());
    }
    // A picture's data, not the user's work: not worth waiting for the disk.
    if (settings::CreateFileExclusively(kept, *text, settings::Flush::Later) !=
        settings::CreateResult::Created) {
        return std::nullopt;
    }
    return kept;
}

} // namespace cantova::jobs
