#pragma once

#include "ui/message_boxes.h"

#include <iostream>
#include <string>

namespace cantova::ui {

// Message boxes would wait for a person; the GUI tools print them on stderr instead and answer
// every question with no.
class PrintedMessages : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon) override {
        std::cerr << "message: " << caption << ": " << text << '\n';
    }
    void Ask(const std::string&, const std::string&, Answer answered) override { answered(false); }
};

} // namespace cantova::ui
