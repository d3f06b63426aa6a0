#pragma once

#include <functional>
#include <string>

namespace cantova::ui {

enum class MessageIcon { Information, Exclamation, Question };

// Message boxes as a platform service: a dialog in the GUI, a printed line in the batch driver.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message with an OK button; the windows take no input until it is dismissed.
    virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    using Answer = std::function<void(bool yes)>;
    // Asks a yes/no question without waiting for the answer: answered gets it (true for yes) when
    // it is given, from the program's event loop; at once where nobody can be asked.
    virtual void Ask(const std::string& text, const std::string& caption, Answer answered) = 0;
};

// Shows nothing and answers no: for windows the program keeps for itself, which nobody sees.
class SilentMessageBoxes final : public MessageBoxes {
public:
    void Show(const std::string&, const std::string&, MessageIcon) override {}
    void Ask(const std::string&, const std::string&, Answer answered) override { answered(false); }
};

} // namespace cantova::ui
