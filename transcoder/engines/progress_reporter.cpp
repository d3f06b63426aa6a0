#include "engines/progress_reporter.h"

#include "command/decimal_text.h"
#include "engines/stop_request.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace cantova {

ProgressReporter::ProgressReporter(std::ostream& out, std::function<double(double)> outputSeconds)
    : out_(out), outputSeconds_(std::move(outputSeconds)) {}

void ProgressReporter::beginPass(int fromPercent, int toPercent) {
    passFrom_ = fromPercent;
    passTo_ = toPercent;
    passOutput_.reset();
    report(fromPercent);
}

void ProgressReporter::onProgressLine(std::string_view line) {
    constexpr std::string_view key = "out_time_us=";
    if (!line.starts_with(key)) {
        return;
    }
    long long microseconds = 0;
    line.remove_prefix(key.size());
    if (std::from_chars(line.data(), line.data() + line.size(), microseconds).ec != std::errc{}) {
        return;
    }
    passOutput_ = microseconds;
    if (sourceSeconds_ <= 0.0) {
        return;
    }
    const double total = outputSeconds_(sourceSeconds_);
    if (total <= 0.0) {
        return;
    }
    const double share = std::clamp(static_cast<double>(microseconds) / 1e6 / total, 0.0, 1.0);
    report(passFrom_ + static_cast<int>(std::floor(share * (passTo_ - passFrom_))));
}

void ProgressReporter::onEngineErrorLine(std::string_view line) {
    constexpr std::string_view key = "Duration: ";
    const auto at = line.find(key);
    if (sourceSeconds_ > 0.0 || at == std::string_view::npos) {
        return;
    }
    // "Duration: 00:01:00.03, start: ..."
    const std::string_view stamp = line.substr(at + key.size(), 11);
    if (stamp.size() < 11 || stamp[2] != ':' || stamp[5] != ':') {
        return;
    }
    auto hours = parseInteger(stamp.substr(0, 2));
    auto minutes = parseInteger(stamp.substr(3, 2));
    auto seconds = parseDecimal(stamp.substr(6, 5));
    if (hours && minutes && seconds) {
        sourceSeconds_ = *hours * 3600.0 + *minutes * 60.0 + *seconds;
    }
}

void ProgressReporter::finish() {
    report(100);
}

void ProgressReporter::printLine(const std::string& line) {
    out_ << line << std::endl;
    if (!out_) {
        requestStopForClosedOutput();
    }
}

void ProgressReporter::report(int percent) {
    if (percent <= lastReported_) {
        return;
    }
    lastReported_ = percent;
    out_ << "progress " << percent << "%" << std::endl;
    if (!out_) {
        requestStopForClosedOutput(); // the front end that reads the progress has gone
    }
}

} // namespace cantova
