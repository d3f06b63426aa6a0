#include "jobs/loudness_curves.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace cantova::jobs {

namespace {

// A number as the file writes it, "-inf" included.
std::optional<double> Number(const std::string& word) {
    if (word == "-inf") {
        return -std::numeric_limits<double>::infinity();
    }
    char* stop = nullptr;
    const double value = std::strtod(word.c_str(), &stop);
    if (word.empty() || *stop != '\0' || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

} // namespace

std::optional<LoudnessCurves> ParseLoudnessCurves(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != "cantova-loudness 1") {
        return std::nullopt;
    }
    LoudnessCurves curves;
    bool integrated = false;
    while (std::getline(in, line)) {
        const std::vector<std::string> words = Words(line);
        if (words.empty()) {
            continue;
        }
        std::vector<std::optional<double>> numbers;
        for (std::size_t i = 0; i < words.size(); ++i) {
            numbers.push_back(Number(words[i]));
        }
        const auto all = [&](std::size_t from, std::size_t count) {
            if (words.size() != from + count) {
                return false;
            }
            for (std::size_t i = from; i < words.size(); ++i) {
                if (!numbers[i]) {
                    return false;
                }
            }
            return true;
        };
        if (all(0, 2)) {
            curves.source.push_back(*numbers[0]);
            curves.output.push_back(*numbers[1]);
        } else if (!curves.source.empty()) {
            return std::nullopt; // only points follow the first point
        } else if (words[0] == "target" && all(1, 1)) {
            curves.target = numbers[1];
        } else if (words[0] == "ceiling" && all(1, 1)) {
            curves.ceiling = numbers[1];
        } else if (words[0] == "integrated" && all(1, 2)) {
            curves.sourceIntegrated = *numbers[1];
            curves.outputIntegrated = *numbers[2];
            integrated = true;
        } else if (words[0] == "interval" && all(1, 1) && *numbers[1] > 0) {
            curves.interval = *numbers[1];
        } else if (words[0] == "limiter" && all(1, 2) && *numbers[1] <= *numbers[2]) {
            curves.limiter.emplace_back(*numbers[1], *numbers[2]);
        } else if (words[0] == "target" || words[0] == "ceiling" || words[0] == "integrated" ||
                   words[0] == "interval" || words[0] == "limiter") {
            return std::nullopt;
        }
    }
    if (!integrated || curves.interval <= 0) {
        return std::nullopt;
    }
    return curves;
}

std::optional<std::string> ParseCurvesLine(std::string_view line) {
    constexpr std::string_view kStart = "sound: curves: ";
    if (!line.starts_with(kStart) || line.size() == kStart.size()) {
        return std::nullopt;
    }
    return std::string(line.substr(kStart.size()));
}

} // namespace cantova::jobs
