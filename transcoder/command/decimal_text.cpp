#include "command/decimal_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace cantova {

std::optional<double> parseDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+') {
        return std::nullopt;
    }
    std::string normalised(text);
    bool separatorSeen = false;
    for (std::size_t i = 0; i < normalised.size(); ++i) {
        char& c = normalised[i];
        if (c == ',' || c == '.') {
            if (separatorSeen) {
                return std::nullopt;
            }
            separatorSeen = true;
            c = '.';
        } else if (!(c >= '0' && c <= '9') && !(i == 0 && c == '-')) {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const char* begin = normalised.data();
    const char* end = begin + normalised.size();
    auto [next, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (error != std::errc{} || next != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [next, error] = std::from_chars(begin, end, value);
    if (text.empty() || error != std::errc{} || next != end) {
        return std::nullopt;
    }
    return value;
}

std::string formatDecimal(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : std::string("0");
}

} // namespace cantova
