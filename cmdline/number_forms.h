#pragma once

#include <optional>
#include <string>

namespace cantova::cmdline {

// Whether a typed delay is zero, reading it in the user's number format;
// nothing when the text is not a number (an empty text included).
std::optional<bool> DelayIsZero(const std::string& text);

// The lenient number reading of split points: blanks are skipped anywhere, then
// sign, digits, "." and digits, exponent; reading stops at the first character
// that cannot continue; no number gives 0. "." is always the separator.
double ReadSplitPoint(const std::string& text);

// Shortest general form, at most 15 significant digits, the user's decimal separator.
std::string WriteSplitPoint(double value);

} // namespace cantova::cmdline
