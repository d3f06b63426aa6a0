#pragma once

// The fields whose typed text goes into the transcoder command line as it stands (bit rates,
// factors, gain, LFE level, quality, delay), each as the value of one switch. A blank or tab
// would end that value and start another word, a double quote would start quoting, and a
// parenthesis would end the group or open another: such a text cannot be passed on.

#include <string>
#include <string_view>

namespace cantova::ui {

// True when the text stays one switch value in a command line.
bool IsOneSwitchValue(std::string_view text);

// The characters that IsOneSwitchValue refuses, for messages.
inline constexpr const char* kSwitchValueBreakers =
    "a blank, a tab, a double quote, \"(\" or \")\"";

// True for the controls whose text goes into the command line as typed.
bool IsTypedField(std::string_view controlName);

// What a typed field is called on the screen, for messages ("Delay", "MP3 bit rate").
std::string TypedFieldLabel(std::string_view controlName);

} // namespace cantova::ui
