#pragma once

// Where the file dialogs open, as desktop file dialogs usually do: in the folder of the file last
// chosen in one of them since the program started, else in the folder the caller names, else in
// the current source's folder, else in the home folder. A folder that is gone is passed over.

#include <functional>
#include <string>

namespace cantova::ui::qt {

class FileDialogFolder {
public:
    using SourcePath = std::function<std::string()>;

    // Where the current source's path is read when a dialog opens.
    void setSourcePath(SourcePath sourcePath) { sourcePath_ = std::move(sourcePath); }
    std::string startFolder(const std::string& named = {}) const;
    // A file was chosen: the next dialog opens in its folder.
    void chosen(const std::string& file);

private:
    std::string lastUsed_;
    SourcePath sourcePath_;
};

} // namespace cantova::ui::qt
