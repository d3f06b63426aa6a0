#pragma once

// Message boxes that show nothing and answer every question with No.

#include "ui/message_boxes.h"

namespace cantova::test {

class SilentMessages : public ui::MessageBoxes {
public:
    void Show(const std::string&, const std::string&, ui::MessageIcon) override {}
    void Ask(const std::string&, const std::string&, Answer answered) override { answered(false); }
};

} // namespace cantova::test
