#include "jobs/output_lines.h"

#include <charconv>

namespace cantova::jobs {

void OutputLineSplitter::feed(std::string_view chunk, const OutputLineHandler& onLine) {
    for (const char c : chunk) {
        const bool secondHalfOfPair = afterCarriageReturn_ && c == '\n';
        afterCarriageReturn_ = c == '\r';
        if (secondHalfOfPair) {
            continue;
        }
        if (c == '\r' || c == '\n') {
            onLine(pending_);
            pending_.clear();
        } else if (pending_.size() < maxLineLength_) {
            pending_ += c;
        }
    }
}

void OutputLineSplitter::finish(const OutputLineHandler& onLine) {
    if (!pending_.empty()) {
        onLine(pending_);
        pending_.clear();
    }
    afterCarriageReturn_ = false;
}

void ErrorOutputTail::feed(std::string_view chunk) {
    splitter_.feed(chunk, [this](std::string_view line) {
        if (line.empty()) {
            return;
        }
        lines_.emplace_back(line);
        if (lines_.size() > kLines) {
            lines_.pop_front();
        }
    });
}

std::string ErrorOutputTail::text() const {
    std::deque<std::string> lines = lines_;
    OutputLineSplitter rest = splitter_;
    rest.finish([&](std::string_view line) { lines.emplace_back(line); });
    std::string joined;
    for (const std::string& line : lines) {
        joined += (joined.empty() ? "" : "\n") + line;
    }
    return joined;
}

std::optional<int> ParseProgressLine(std::string_view line) {
    constexpr std::string_view prefix = "progress ";
    if (!line.starts_with(prefix) || !line.ends_with('%')) {
        return std::nullopt;
    }
    const std::string_view digits = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        return std::nullopt;
    }
    int percent = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), percent);
    if (error != std::errc{} || end != digits.data() + digits.size() || percent > 100) {
        return std::nullopt;
    }
    return percent;
}

} // namespace cantova::jobs
