#pragma once

// Texts the user types (bit rates, factors, gain, LFE level, quality, delay) go into the command
// line as they stand, each as the value of one switch. A blank or tab would end that value and
// start another word, a double quote would start quoting, and a parenthesis would end the group
// or open another: such a text is refused rather than passed on.

#include <string>
#include <string_view>
#include <vector>

namespace cantova::cmdline {

// True when the text stays one switch value in a command line.
bool IsOneSwitchValue(std::string_view text);

// The characters that IsOneSwitchValue refuses, for messages.
inline constexpr const char* kSwitchValueBreakers =
    "a blank, a tab, a double quote, \"(\" or \")\"";

// True for the controls whose text goes into the command line as typed.
bool IsTypedField(std::string_view controlName);

// What a typed field is called on the screen, for messages ("Delay", "MP3 bit rate").
std::string TypedFieldLabel(std::string_view controlName);

// Notes the typed fields a command uses whose text would not stay one switch value.
class TypedValueCheck {
public:
    struct Field {
        std::string control;
        std::string text;
    };
    // The field's text, unchanged; the field is noted when the text is no single switch value.
    const std::string& use(const std::string& controlName, const std::string& text);
    // Each refused field once, in the order the command used them.
    const std::vector<Field>& refusedFields() const { return refused_; }

private:
    std::vector<Field> refused_;
};

// The text of a typed field for a group builder, checked when a check is given.
inline const std::string& Typed(TypedValueCheck* check, const std::string& controlName,
                                const std::string& text) {
    return check != nullptr ? check->use(controlName, text) : text;
}

} // namespace cantova::cmdline
