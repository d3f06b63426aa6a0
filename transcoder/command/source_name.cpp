#include "command/source_name.h"

#include "command/command_line_error.h"
#include "command/decimal_text.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>

namespace cantova {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string lowerFileName(const std::string& path) {
    return lowerCase(std::filesystem::path(path).filename().string());
}

std::string lowerExtension(const std::string& path) {
    return lowerCase(std::filesystem::path(path).extension().string());
}

} // namespace

bool isLpcmSource(const std::string& path) {
    return lowerExtension(path) == ".pcm";
}

bool isAc3Source(const std::string& path) {
    return lowerExtension(path) == ".ac3";
}

LpcmFormat lpcmFormatFromName(const std::string& path) {
    const std::string name = lowerFileName(path);
    LpcmFormat format;
    std::smatch match;
    std::optional<double> hertz;
    if (std::regex_search(name, match, std::regex(R"((\d+(?:[.,]\d+)?) ?khz)"))) {
        hertz = parseDecimal(match[1].str()).value_or(0.0) * 1000.0;
    } else if (std::regex_search(name, match, std::regex(R"((\d{4,6}) ?hz)"))) {
        hertz = parseDecimal(match[1].str()).value_or(0.0);
    }
    if (hertz) {
        if (!(*hertz >= kLowestSampleRate && *hertz <= kHighestSampleRate)) {
            throw CommandLineError("the LPCM input's name gives the sample rate " + match[0].str() +
                                   ", outside " + std::to_string(kLowestSampleRate) + " to " +
                                   std::to_string(kHighestSampleRate) + " Hz");
        }
        format.sampleRate = static_cast<int>(std::lround(*hertz));
    }
    if (std::regex_search(name, match, std::regex(R"((16|24) ?-?bits?)"))) {
        format.bitsPerSample = *parseInteger(match[1].str());
    }
    if (std::regex_search(name, match, std::regex(R"(([1-8]) ?ch)"))) {
        format.channels = *parseInteger(match[1].str());
    } else if (name.find("mono") != std::string::npos) {
        format.channels = 1;
    }
    return format;
}

std::optional<double> delayFromFileName(const std::string& path) {
    const std::string name = lowerFileName(path);
    std::smatch match;
    if (!std::regex_search(name, match, std::regex(R"(delay ?([+-]?\d+(?:[.,]\d+)?) ?ms)"))) {
        return std::nullopt;
    }
    return parseDecimal(match[1].str());
}

} // namespace cantova
