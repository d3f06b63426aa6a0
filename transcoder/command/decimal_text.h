#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cantova {

// Reads a whole text as a decimal number: optional sign, digits, an optional point or comma
// (the front end writes the user's locale separator) and further digits. Anything else,
// including an empty text, gives no value.
std::optional<double> parseDecimal(std::string_view text);

// Reads a whole text as a plain decimal integer with an optional sign.
std::optional<int> parseInteger(std::string_view text);

// The shortest text that reads back as the same value, with a point as separator.
std::string formatDecimal(double value);

} // namespace cantova
