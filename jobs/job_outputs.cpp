#include "jobs/job_outputs.h"

#include "cmdline/channel_flag.h"
#include "cmdline/command_line.h"
#include "settings/ini_file.h"
#include "ui/control_properties.h"

#include <filesystem>
#include <fstream>

namespace cantova::jobs {

namespace fs = std::filesystem;

namespace {

// The log appended by one job is small; more than this is not read for a reason.
constexpr std::streamsize kMaxLogRead = 1024 * 1024;

constexpr const char* kMonoChannels[] = {"FL", "FR", "FC", "LFE", "SL", "SR"};

bool StoredAsSixMonoFiles(const std::string& settingsFile) {
    if (settings::ReadIniValue("SETTING", "Codec", settingsFile) != "WAV") {
        return false;
    }
    const auto mode =
        ui::ParseDecimal(settings::ReadIniValue("WAVMODE", "NbrChannel", settingsFile));
    return mode && cmdline::ChannelFlagForMode(*mode) == " -6ch";
}

std::string LastLineAfter(const std::string& text, const std::string& prefix) {
    std::string found;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + at, end - at);
        if (line.starts_with(prefix)) {
            found = std::string(line.substr(prefix.size()));
        }
        at = end + 1;
    }
    if (!found.empty() && found.back() == '\r') {
        found.pop_back();
    }
    return found;
}

} // namespace

std::string OutputPathOf(const std::string& outputArgument) {
    const std::vector<std::string> words = cmdline::SplitCommandLine("program " + outputArgument);
    return words.size() >= 2 ? words[1] : std::string();
}

std::vector<std::string> JobOutputFiles(const JobRecord& record) {
    if (record.copyMarker == "1") {
        return {};
    }
    const fs::path output = OutputPathOf(record.outputArgument);
    if (!StoredAsSixMonoFiles(record.settingsFile)) {
        return {output.string()};
    }
    std::vector<std::string> files;
    for (const char* channel : kMonoChannels) {
        files.push_back(
            (output.parent_path() / (output.stem().string() + "_" + channel + ".wav")).string());
    }
    return files;
}

std::vector<std::string> ExistingPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> existing;
    for (const std::string& path : paths) {
        std::error_code error;
        if (fs::symlink_status(path, error).type() != fs::file_type::not_found) {
            existing.push_back(path);
        }
    }
    return existing;
}

std::uintmax_t FileSizeOrZero(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

std::string FailureReason(const std::string& logPath, std::uintmax_t logOffset,
                          const std::string& errorOutput) {
    std::ifstream log(logPath, std::ios::binary);
    if (log && log.seekg(static_cast<std::streamoff>(logOffset))) {
        std::string appended(kMaxLogRead, '\0');
        log.read(appended.data(), kMaxLogRead);
        appended.resize(static_cast<std::size_t>(log.gcount()));
        if (std::string reason = LastLineAfter(appended, "result: FAILED, "); !reason.empty()) {
            return reason;
        }
    }
    const std::size_t lastBreak = errorOutput.rfind('\n');
    return lastBreak == std::string::npos ? errorOutput : errorOutput.substr(lastBreak + 1);
}

} // namespace cantova::jobs
