#include "file_size.h"

#include "open_file.h"

#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tracklens {

std::optional<std::int32_t> FileSize(const char* path) {
    const OpenFile file(path);
    struct stat status {};
    if (!file.IsOpen() || fstat(file.Descriptor(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    const off_t end = lseek(file.Descriptor(), 0, SEEK_END);
    if (end < 0 || end > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(end);
}

} // namespace tracklens
