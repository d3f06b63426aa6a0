#pragma once

// Message boxes of the GUI: a Qt message box over the active window. A message or a question keeps
// the windows from input until it is dismissed, without holding up the program: no box runs an
// event loop of its own, and a question's answer comes from the program's loop.

#include "ui/message_boxes.h"

namespace cantova::ui::qt {

class QtMessageBoxes final : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void Ask(const std::string& text, const std::string& caption, Answer answered) override;
};

} // namespace cantova::ui::qt
