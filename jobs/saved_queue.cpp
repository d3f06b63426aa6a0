#include "jobs/saved_queue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <variant>

namespace cantova::jobs {

namespace {

constexpr std::string_view kFamily = "cantova job list ";
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

using Fields = std::map<std::string, std::string>;

// A job from its fields, or the name of the first field that every job has and that is missing
// or wrong.
std::variant<Job, std::string> JobOf(const Fields& fields) {
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
    if (!number || *number < 1) {
        return "number";
    }
    if (!kind || !ui::JobKindFromNumber(*kind)) {
        return "kind";
    }
    if (!codec || *codec < 0 || *codec > static_cast<int>(ui::Codec::Flac)) {
        return "codec";
    }
    if (!bitrate) {
        return "bitrate";
    }
    if (!status) {
        return "status";
    }
    if (!settingsFile || settingsFile->empty()) {
        return "settings";
    }
    if (!source || source->empty()) {
        return "source";
    }
    if (!output) {
        return "output";
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

// The fields of the lines before the first job, and of each job; a line that is no field spoils
// the part it is in.
struct Parts {
    Fields header;
    bool headerSpoiled = false;
    std::vector<Fields> jobs;
    std::vector<bool> jobSpoiled;
};

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

SavedQueueReading ReadSavedQueue(std::string_view text) {
    SavedQueueReading reading;
    const std::size_t firstEnd = std::min(text.find('\n'), text.size());
    std::string_view firstLine = text.substr(0, firstEnd);
    bool crlf = firstLine.ends_with('\r');
    if (crlf) {
        firstLine.remove_suffix(1);
    }
    if (firstLine != kFirstLine) {
        reading.problems.push_back(firstLine.starts_with(kFamily) && firstLine.size() < 64
                                       ? "it is of an unknown version (\"" +
                                             std::string(firstLine) + "\")"
                                       : std::string("it is no job list"));
        return reading;
    }
    if (firstEnd == text.size()) {
        reading.problems.push_back("it is cut short");
        return reading;
    }
    text.remove_prefix(firstEnd + 1);
    Parts parts;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            reading.problems.push_back("it is cut short");
            break;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        // The list escapes every CR it holds: one at the end of a line is a line end's.
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
            crlf = true;
        }
        if (line == "job") {
            parts.jobs.emplace_back();
            parts.jobSpoiled.push_back(false);
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::optional<std::string> value =
            equals == std::string_view::npos ? std::nullopt : Unescaped(line.substr(equals + 1));
        if (!value) {
            if (parts.jobs.empty()) {
                parts.headerSpoiled = true;
            } else {
                parts.jobSpoiled.back() = true;
            }
            continue;
        }
        (parts.jobs.empty() ? parts.header
                            : parts.jobs.back())[std::string(line.substr(0, equals))] = *value;
    }
    if (crlf) {
        reading.problems.push_back("its lines end in CR LF");
    }
    SavedQueue& saved = reading.saved;
    if (parts.headerSpoiled) {
        reading.problems.push_back("a line before the first job is no field");
    } else {
        saved.kept = parts.header["ending"] == "kept";
        if (parts.header.count("run-job-file") != 0) {
            saved.runJobFile = parts.header["run-job-file"];
        }
        if (parts.header.count("run-folder") != 0) {
            saved.runFolder = parts.header["run-folder"];
        }
    }
    for (std::size_t k = 0; k < parts.jobs.size(); ++k) {
        const std::string which = "job " + std::to_string(k + 1);
        if (parts.jobSpoiled[k]) {
            reading.problems.push_back(which + " holds a line that is no field");
            continue;
        }
        std::variant<Job, std::string> job = JobOf(parts.jobs[k]);
        if (const auto* field = std::get_if<std::string>(&job)) {
            reading.problems.push_back(which + " has no valid " + *field);
            continue;
        }
        saved.jobs.push_back(std::move(std::get<Job>(job)));
    }
    return reading;
}

} // namespace cantova::jobs
