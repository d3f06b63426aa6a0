#include "jobs/saved_queue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>

namespace cantova::jobs {

namespace {

constexpr std::string_view kFirstLine = "cantova job list 1";

constexpr std::array kStatuses{JobStatus::Queued, JobStatus::Running, JobStatus::Done,
                               JobStatus::Failed, JobStatus::Skipped, JobStatus::Stopped};

std::string Escaped(std::string_view value) {
    std::string escaped;
    for (const char c : value) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> Unescaped(std::string_view value) {
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            plain += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        switch (value[i]) {
        case '\\':
            plain += '\\';
            break;
        case 'n':
            plain += '\n';
            break;
        case 'r':
            plain += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return plain;
}

std::optional<int> Whole(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Numbers in the file do not follow the user's regional settings.
std::string DecimalText(double value) {
    std::array<char, 64> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() ? std::string(digits.data(), end) : "0";
}

double DecimalOrZero(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::optional<JobStatus> StatusNamed(const std::string& name) {
    for (const JobStatus status : kStatuses) {
        if (StatusName(status) == name) {
            return status;
        }
    }
    return std::nullopt;
}

void Line(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append("=").append(Escaped(value)).append("\n");
}

// A job from its fields; nothing when one that every job has is missing or wrong.
std::optional<Job> JobOf(const std::map<std::string, std::string>& fields) {
    const auto field = [&](const char* key) -> std::optional<std::string> {
        const auto found = fields.find(key);
        return found == fields.end() ? std::nullopt : std::optional(found->second);
    };
    Job job;
    const std::optional<int> number = Whole(field("number").value_or(""));
    const std::optional<int> kind = Whole(field("kind").value_or(""));
    const std::optional<int> codec = Whole(field("codec").value_or(""));
    const std::optional<int> bitrate = Whole(field("bitrate").value_or("0"));
    const std::optional<JobStatus> status = StatusNamed(field("status").value_or(""));
    const std::optional<std::string> settingsFile = field("settings");
    const std::optional<std::string> source = field("source");
    const std::optional<std::string> output = field("output");
    if (!number || *number < 1 || !kind || !ui::JobKindFromNumber(*kind) || !codec || *codec < 0 ||
        *codec > static_cast<int>(ui::Codec::Wav) || !bitrate || !status || !settingsFile ||
        settingsFile->empty() || !source || source->empty() || !output) {
        return std::nullopt;
    }
    job.number = *number;
    job.settingsFile = *settingsFile;
    job.source = *source;
    job.outputArgument = *output;
    job.track = std::max(0, Whole(field("track").value_or("0")).value_or(0));
    job.copy = field("copy") == "1";
    job.targetBitrate = *bitrate;
    job.kind = *ui::JobKindFromNumber(*kind);
    job.codec = static_cast<ui::Codec>(*codec);
    job.sourceSeconds = DecimalOrZero(field("seconds").value_or("0"));
    job.status = *status;
    job.inRun = field("in-run") == "1";
    job.reason = field("reason").value_or("");
    return job;
}

} // namespace

std::string FormatSavedQueue(const SavedQueue& saved) {
    std::string text(kFirstLine);
    text += "\n";
    Line(text, "ending", saved.kept ? "kept" : "open");
    if (saved.runJobFile) {
        Line(text, "run-job-file", *saved.runJobFile);
    }
    if (saved.runFolder) {
        Line(text, "run-folder", *saved.runFolder);
    }
    for (const Job& job : saved.jobs) {
        text += "job\n";
        Line(text, "number", std::to_string(job.number));
        Line(text, "settings", job.settingsFile);
        Line(text, "source", job.source);
        if (job.track > 0) {
            Line(text, "track", std::to_string(job.track));
        }
        Line(text, "output", job.outputArgument);
        Line(text, "copy", job.copy ? "1" : "0");
        Line(text, "bitrate", std::to_string(job.targetBitrate));
        Line(text, "kind", std::to_string(ui::NumberOf(job.kind)));
        Line(text, "codec", std::to_string(static_cast<int>(job.codec)));
        Line(text, "seconds", DecimalText(job.sourceSeconds));
        Line(text, "status", StatusName(job.status));
        Line(text, "in-run", job.inRun ? "1" : "0");
        if (!job.reason.empty()) {
            Line(text, "reason", job.reason);
        }
    }
    return text;
}

std::optional<SavedQueue> ParseSavedQueue(std::string_view text) {
    if (!text.starts_with(kFirstLine) || text.substr(kFirstLine.size(), 1) != "\n") {
        return std::nullopt;
    }
    text.remove_prefix(kFirstLine.size() + 1);
    SavedQueue saved;
    std::map<std::string, std::string> header;
    std::vector<std::map<std::string, std::string>> jobs;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt; // cut short
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line == "job") {
            jobs.emplace_back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<std::string> value = Unescaped(line.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        (jobs.empty() ? header : jobs.back())[std::string(line.substr(0, equals))] = *value;
    }
    saved.kept = header["ending"] == "kept";
    if (header.count("run-job-file") != 0) {
        saved.runJobFile = header["run-job-file"];
    }
    if (header.count("run-folder") != 0) {
        saved.runFolder = header["run-folder"];
    }
    for (const auto& fields : jobs) {
        std::optional<Job> job = JobOf(fields);
        if (!job) {
            return std::nullopt;
        }
        saved.jobs.push_back(std::move(*job));
    }
    return saved;
}

} // namespace cantova::jobs
