#pragma once

#include <string>
#include <vector>

namespace cantova {

// The files a job writes: each under a temporary name in its final folder until the job
// has succeeded, so that no half-written file ever carries a final name.
class OutputFiles {
public:
    // channelSuffixes: empty for one output file, else one file per suffix, named after the
    // output with "_" and the suffix before the extension (Stream1_FL.wav).
    OutputFiles(const std::string& output, const std::vector<std::string>& channelSuffixes);
    ~OutputFiles(); // removes the temporary files unless they were committed
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    const std::vector<std::string>& temporaryPaths() const { return temporary_; }
    const std::vector<std::string>& finalPaths() const { return final_; }
    // Renames every temporary file to its final name; throws std::runtime_error when one is
    // missing or cannot be renamed, leaving no final file of this job behind.
    void commit();

private:
    std::vector<std::string> temporary_;
    std::vector<std::string> final_;
    bool committed_ = false;
};

} // namespace cantova
