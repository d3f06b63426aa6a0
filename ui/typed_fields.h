#pragma once

// The fields whose typed text goes into the transcoder command line as it stands (bit rates,
// factors, gain, LFE level, quality, delay, loudness), each as the value of one switch. A blank
// or tab would end that value and start another word, a double quote would start quoting, and a
// parenthesis would end the group or open another: such a text cannot be passed on. The
// transcoder reads these values as plain ASCII numbers and levels, so a control character, a
// no-break space or a byte-order mark in one makes it refuse the job, as does a number outside
// the range some fields allow.

#include <optional>
#include <string>
#include <string_view>

namespace cantova::ui {

// True when the text stays one switch value in a command line.
bool IsOneSwitchValue(std::string_view text);

// Why no typed field may hold the text, whatever it is used for ("holds a vertical tab");
// nothing when it may.
std::optional<std::string> TypedTextProblem(std::string_view text);

// Why the text cannot be the value of the typed field controlName in a command the transcoder
// runs: TypedTextProblem, or a number outside what the field allows ("is not a whole number from
// 8 to 320"); nothing when it can.
std::optional<std::string> TypedValueProblem(std::string_view controlName, std::string_view text);

// True for the controls whose text goes into the command line as typed.
bool IsTypedField(std::string_view controlName);

// What a typed field is called on the screen, for messages ("Delay", "MP3 bit rate").
std::string TypedFieldLabel(std::string_view controlName);

} // namespace cantova::ui
