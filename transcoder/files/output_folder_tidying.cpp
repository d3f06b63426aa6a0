#include "files/output_folder_tidying.h"

#include "files/hidden_names.h"
#include "files/naming_record.h"
#include "files/parts_record.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cantova {

bool folderTakesTemporaryNames(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd); // an unnamed file: it is gone with its descriptor
        return false;
    }
    return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
}

std::vector<std::string> tidyOutputFolder(const std::string& folder) {
    std::vector<std::string> lines = settleNamingRecords(folder);
    if (folderTakesTemporaryNames(folder)) {
        for (const std::string& name : removeRecordedParts(folder)) {
            lines.push_back("tidy: removed " + name + ", left unfinished by an ended run");
        }
    }
    return lines;
}

} // namespace cantova
