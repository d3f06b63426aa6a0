#pragma once

// The standard output of a child process arrives in chunks of any size; this
// cuts it into lines and reads the transcoder's progress lines.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cantova::jobs {

// Receives one line of a child's standard output, without its line break.
using OutputLineHandler = std::function<void(std::string_view line)>;

// Cuts a stream into lines as chunks come in. A line ends at LF, at CR, or at the pair CR LF
// (which may be split across two chunks); a text after the last break is a line too once the
// stream ends. A line keeps at most maxLineLength bytes: the rest up to its break is dropped, so
// a child that writes without line breaks cannot make the reader hold all of it.
class OutputLineSplitter {
public:
    static constexpr std::size_t kDefaultMaxLineLength = 64 * 1024;
    explicit OutputLineSplitter(std::size_t maxLineLength = kDefaultMaxLineLength)
        : maxLineLength_(maxLineLength) {}

    void feed(std::string_view chunk, const OutputLineHandler& onLine);
    // The stream has ended: delivers a last line that had no break.
    void finish(const OutputLineHandler& onLine);

private:
    std::size_t maxLineLength_;
    std::string pending_;
    bool afterCarriageReturn_ = false;
};

// The last lines of a child's error output, each cut to a length, for reports.
class ErrorOutputTail {
public:
    static constexpr std::size_t kLines = 20;
    static constexpr std::size_t kLineLength = 2000;

    void feed(std::string_view chunk);
    // The lines kept so far, the last one without a break included; empty lines are left out.
    std::string text() const;

private:
    OutputLineSplitter splitter_{kLineLength};
    std::deque<std::string> lines_;
};

// The percentage of a "progress N%" line (N from 0 to 100); nothing for any other line.
std::optional<int> ParseProgressLine(std::string_view line);

} // namespace cantova::jobs
