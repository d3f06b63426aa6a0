#pragma once

// The clipboard as a platform service: the GUI's clipboard, printed lines in the batch driver.

#include <string>
#include <vector>

namespace cantova::jobs {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's text with the lines, one under the other.
    virtual void CopyLines(const std::vector<std::string>& lines) = 0;
};

// Keeps nothing: for callers without a clipboard.
Clipboard& NoClipboard();

} // namespace cantova::jobs
