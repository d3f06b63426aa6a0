#include "cmdline/number_forms.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cantova::cmdline {

std::optional<bool> DelayIsZero(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    const std::string number = text.substr(begin, end - begin);
    char* stop = nullptr;
    const double value = std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value == 0.0;
}

double ReadSplitPoint(const std::string& text) {
    // Gather the characters that continue the number, with the blanks left out.
    std::string number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
        const char last = number.empty() ? '\0' : number.back();
        if (digit) {
            (exponent ? exponentDigits : digits) = true;
        } else if ((c == '+' || c == '-') && (number.empty() || last == 'e')) {
        } else if (c == '.' && !point && !exponent) {
            point = true;
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            c = 'e';
        } else {
            break;
        }
        number += c;
    }
    if (exponent && !exponentDigits) {
        number.erase(number.find('e'));
    }
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0.0;
    const auto [ptr, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

std::string WriteSplitPoint(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    if (std::strcmp(buffer, "-0") == 0) {
        return "0";
    }
    return buffer;
}

} // namespace cantova::cmdline
