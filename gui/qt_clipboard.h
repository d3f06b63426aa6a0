#pragma once

#include "jobs/clipboard.h"

namespace cantova::ui::qt {

// The desktop's clipboard: the lines as one text, one under the other.
class QtClipboard final : public jobs::Clipboard {
public:
    void CopyLines(const std::vector<std::string>& lines) override;
};

} // namespace cantova::ui::qt
