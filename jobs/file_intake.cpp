// Dropped files, files chosen together and folders, added as jobs one after the other.

#include "jobs/file_intake.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace cantova::jobs {

namespace {

constexpr const char* kFilesDialogTitle = "Add Files as Jobs";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualWithoutCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// "*.ac3" matches a name that ends in ".ac3"; a pattern without "*" matches the whole name.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (!pattern.empty() && pattern.front() == '*') {
        const std::string_view tail = pattern.substr(1);
        return name.size() >= tail.size() &&
               EqualWithoutCase(name.substr(name.size() - tail.size()), tail);
    }
    return EqualWithoutCase(name, pattern);
}

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

std::string PatternList(const std::vector<std::string>& patterns) {
    std::string list;
    for (const std::string& pattern : patterns) {
        list += (list.empty() ? "" : ", ") + pattern;
    }
    return list;
}

} // namespace

bool AudioFilesInFolder(const std::string& folder, const std::vector<std::string>& patterns,
                        std::vector<std::string>& files, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        // Hidden files are no one's sources: resource forks ("._x.ac3") that other systems
        // leave, and the transcoder's own temporary files (".Stream1.part-PID-N.wav").
        if (!name.starts_with('.') && it->is_regular_file(ignored) &&
            std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
                return MatchesPattern(name, pattern);
            })) {
            found.push_back(it->path());
        }
    }
    if (code) {
        error = code.message();
        return false;
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    files.clear();
    for (const fs::path& path : found) {
        files.push_back(path.string());
    }
    return true;
}

bool FileIntake::refusedDuringRun() {
    if (accepting()) {
        return false;
    }
    messages_.Show("Jobs are running, so no file was taken. Add it when the run has ended.",
                   "Error", ui::MessageIcon::Exclamation);
    return true;
}

void FileIntake::Drop(const std::vector<std::string>& paths) {
    if (paths.empty() || refusedDuringRun()) {
        return;
    }
    if (paths.size() == 1 && !IsFolder(paths.front())) {
        sources_.Select(paths.front());
        return;
    }
    AddFilesAsJobs(paths);
}

int FileIntake::AddFilesAsJobs(const std::vector<std::string>& paths) {
    if (refusedDuringRun()) {
        return 0;
    }
    auto adding = std::make_shared<JobAdding>(expand(paths), sources_, jobList_, queue_);
    if (driver_ && adding->total() > kFilesAddedAtOnce) {
        driver_(adding);
        return adding->added();
    }
    adding->addNext(adding->total());
    return adding->added();
}

void FileIntake::ChooseFilesAsJobs() {
    if (refusedDuringRun()) {
        return;
    }
    dialogs_.ShowOpenFilesDialog(
        SourceDialogFilter(), kFilesDialogTitle, "",
        [this](const std::vector<std::string>& files) { AddFilesAsJobs(files); });
}

std::vector<std::string> FileIntake::expand(const std::vector<std::string>& paths) {
    const std::vector<std::string> patterns = SourceAudioPatterns();
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        if (!IsFolder(path)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inFolder;
        std::string error;
        if (!AudioFilesInFolder(path, patterns, inFolder, error)) {
            messages_.Show("The folder cannot be read (" + error +
                               "), so no job was added for "
                               "it:\n" +
                               path,
                           "Error", ui::MessageIcon::Exclamation);
        } else if (inFolder.empty()) {
            messages_.Show("The folder holds no audio files (" + PatternList(patterns) +
                               "), so no job was added for it:\n" + path,
                           "Error", ui::MessageIcon::Exclamation);
        }
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

} // namespace cantova::jobs
