#pragma once

#include <string>

namespace cantova {

// The log named after "-logfilea". Every line is appended at once, so that the log holds
// whatever happened even when the program is stopped half way.
class RunLog {
public:
    explicit RunLog(std::string path);
    // A time stamp and the argument vector received.
    void beginEntry(const std::string& argumentLine);
    void write(const std::string& line);
    // Several lines, each indented, such as an engine's error output.
    void writeIndented(const std::string& text);

private:
    std::string path_;
};

} // namespace cantova
