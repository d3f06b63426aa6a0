#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace cantova {

// Turns ffmpeg's "-progress" lines into "progress N%" lines for the front end. A job may run
// several engine passes; each pass covers its own share of the percentage.
class ProgressReporter {
public:
    // outputSeconds maps the source's length to the length the output will have.
    ProgressReporter(std::ostream& out, std::function<double(double)> outputSeconds);

    void beginPass(int fromPercent, int toPercent);
    void onProgressLine(std::string_view line);
    // Reads the source's length from the first "Duration:" line ffmpeg reports.
    void onEngineErrorLine(std::string_view line);
    void finish();
    // A line of its own for the front end, such as the sound report.
    void printLine(const std::string& line);
    // How far the output of the running pass has got, from its last progress line; empty
    // before the first one.
    std::optional<long long> passOutputMicroseconds() const { return passOutput_; }

private:
    void report(int percent);

    std::ostream& out_;
    std::function<double(double)> outputSeconds_;
    double sourceSeconds_ = 0.0;
    int passFrom_ = 0;
    int passTo_ = 100;
    int lastReported_ = -1;
    std::optional<long long> passOutput_;
};

} // namespace cantova
