#pragma once

#include <string>

namespace cantova::ui {

enum class MessageIcon { Information, Exclamation, Question };

// Message boxes as a platform service: a dialog in the GUI, a printed line in the batch driver.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message with an OK button; the windows take no input until it is dismissed.
    virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // Asks a yes/no question; true for yes.
    virtual bool Ask(const std::string& text, const std::string& caption) = 0;
};

// Shows nothing and answers no: for windows the program keeps for itself, which nobody sees.
class SilentMessageBoxes final : public MessageBoxes {
public:
    void Show(const std::string&, const std::string&, MessageIcon) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
};

} // namespace cantova::ui
