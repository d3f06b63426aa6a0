#include "gui/file_dialog_folder.h"

#include <QDir>

#include <filesystem>
#include <system_error>

namespace cantova::ui::qt {

namespace {

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string FolderOf(const std::string& file) {
    return file.empty() ? std::string() : std::filesystem::path(file).parent_path().string();
}

} // namespace

std::string FileDialogFolder::startFolder(const std::string& named) const {
    if (IsFolder(lastUsed_)) {
        return lastUsed_;
    }
    if (IsFolder(named)) {
        return named;
    }
    if (sourcePath_) {
        if (const std::string source = FolderOf(sourcePath_()); IsFolder(source)) {
            return source;
        }
    }
    return QDir::homePath().toStdString();
}

void FileDialogFolder::chosen(const std::string& file) {
    if (const std::string folder = FolderOf(file); !folder.empty()) {
        lastUsed_ = folder;
    }
}

} // namespace cantova::ui::qt
