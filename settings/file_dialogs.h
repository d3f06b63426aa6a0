#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace cantova::settings {

// One entry of a dialog filter: the text shown and the file patterns it stands for.
struct DialogFilter {
    std::string label;
    std::vector<std::string> patterns;
};

// Reads a filter of "text|pattern" pairs ("Audio Profil File (*.aud)|*.aud"); a missing final "|"
// is supplied. A pattern field may list several patterns separated by ";". The list ends at the
// first empty field, as a NUL-separated filter list does; a text without a pattern is dropped.
std::vector<DialogFilter> ParseDialogFilter(const std::string& filter);

// The filter as name filters of the form "text (pattern pattern ...)". A "(...)" group that ends
// a text is dropped first, so the patterns shown and matched are the real ones.
std::vector<std::string> ToQtNameFilters(const std::string& filter);

// The file-open and file-save dialogs. The open dialog accepts only an existing file, the save
// dialog asks before overwriting one. Neither waits: chosen gets the chosen full path once the
// dialog is confirmed, or empty text when it is cancelled.
class FileDialogs {
public:
    using PathChosen = std::function<void(const std::string&)>;
    using FilesChosen = std::function<void(const std::vector<std::string>&)>;

    virtual ~FileDialogs() = default;
    virtual void ShowOpenDialog(const std::string& filter, const std::string& title,
                                const std::string& initialFolder, PathChosen chosen) = 0;
    virtual void ShowSaveDialog(const std::string& filter, const std::string& title,
                                const std::string& initialFolder, PathChosen chosen) = 0;
    // An open dialog for several existing files that does not wait: chosen gets their full paths
    // once the dialog is confirmed, and is not called when it is cancelled.
    virtual void ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                                     const std::string& initialFolder, FilesChosen chosen) = 0;
};

// Dialogs without windows: each request takes the next queued answer (empty text, i.e. cancelled,
// when none is left) and is recorded for inspection. The dialog for several files takes the next
// answer given with AnswerFiles; an answer of no paths, or none left, cancels it.
class ScriptedFileDialogs : public FileDialogs {
public:
    enum class Kind { Open, Save, OpenFiles };
    struct Request {
        Kind kind;
        std::string filter;
        std::string title;
    };

    void Answer(std::string path);
    void AnswerFiles(std::vector<std::string> paths);
    const std::vector<Request>& Requests() const { return requests_; }

    // Both answer at once.
    void ShowOpenDialog(const std::string& filter, const std::string& title,
                        const std::string& initialFolder, PathChosen chosen) override;
    void ShowSaveDialog(const std::string& filter, const std::string& title,
                        const std::string& initialFolder, PathChosen chosen) override;
    void ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                             const std::string& initialFolder, FilesChosen chosen) override;

private:
    std::vector<std::string> NextAnswer(Kind kind, const std::string& filter,
                                        const std::string& title);

    // Each answer as the paths it gives: one for Answer, any number for AnswerFiles.
    std::deque<std::vector<std::string>> answers_;
    std::vector<Request> requests_;
};

} // namespace cantova::settings
