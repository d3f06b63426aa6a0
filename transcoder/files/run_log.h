#pragma once

#include "files/file_identity.h"

#include <optional>
#include <string>

namespace cantova {

// The log named after "-logfilea", opened once for appending (and created when missing).
// Every line is appended at once, so that the log holds whatever happened even when the
// program is stopped half way. A log that is not a regular file is refused: a FIFO would block
// the job until somebody reads it. A log that cannot be opened or written (a full disk) fails the
// job: its lines go to the standard error, and failure() says why.
class RunLog {
public:
    explicit RunLog(std::string path);
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Why the log is refused; empty when it is not.
    const std::string& refusal() const { return refusal_; }
    // Why a line could not be appended (the first time it happened); empty while every line was.
    const std::string& failure() const { return failure_; }
    // The file the log is, when it could be opened.
    std::optional<FileIdentity> identity() const;

    // A time stamp and the argument vector received.
    void beginEntry(const std::string& argumentLine);
    void write(const std::string& line);
    // Several lines, each indented, such as an engine's error output.
    void writeIndented(const std::string& text);

private:
    std::string path_;
    int fd_ = -1;
    std::string refusal_;
    std::string failure_;
};

} // namespace cantova
