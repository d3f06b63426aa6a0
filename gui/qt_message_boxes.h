#pragma once

// Message boxes of the GUI: a Qt message box over the active window. A message keeps the windows
// from input until it is dismissed, without holding up the program; a question waits for its
// answer.

#include "ui/message_boxes.h"

namespace cantova::ui::qt {

class QtMessageBoxes final : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool Ask(const std::string& text, const std::string& caption) override;
};

} // namespace cantova::ui::qt
