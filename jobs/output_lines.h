#pragma once

// The standard output of a child process arrives in chunks of any size; this
// cuts it into lines and reads the transcoder's progress lines.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cantova::jobs {

// Receives one line of a child's standard output, without its line break.
using OutputLineHandler = std::function<void(std::string_view line)>;

// Cuts a stream into lines as chunks come in. A line ends at LF, at CR, or at the pair CR LF
// (which may be split across two chunks); a text after the last break is a line too once the
// stream ends.
class OutputLineSplitter {
public:
    void feed(std::string_view chunk, const OutputLineHandler& onLine);
    // The stream has ended: delivers a last line that had no break.
    void finish(const OutputLineHandler& onLine);

private:
    std::string pending_;
    bool afterCarriageReturn_ = false;
};

// The percentage of a "progress N%" line (N from 0 to 100); nothing for any other line.
std::optional<int> ParseProgressLine(std::string_view line);

} // namespace cantova::jobs
