#include "settings/file_dialogs.h"

namespace cantova::settings {

void ScriptedFileDialogs::Answer(std::string path) {
    answers_.push_back({std::move(path)});
}

void ScriptedFileDialogs::AnswerFiles(std::vector<std::string> paths) {
    answers_.push_back(std::move(paths));
}

void ScriptedFileDialogs::ShowOpenDialog(const std::string& filter, const std::string& title,
                                         const std::string& /*initialFolder*/, PathChosen chosen) {
    const std::vector<std::string> answer = NextAnswer(Kind::Open, filter, title);
    chosen(answer.empty() ? std::string() : answer.front());
}

void ScriptedFileDialogs::ShowSaveDialog(const std::string& filter, const std::string& title,
                                         const std::string& /*initialFolder*/, PathChosen chosen) {
    const std::vector<std::string> answer = NextAnswer(Kind::Save, filter, title);
    chosen(answer.empty() ? std::string() : answer.front());
}

void ScriptedFileDialogs::ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                                              const std::string& /*initialFolder*/,
                                              FilesChosen chosen) {
    const std::vector<std::string> answer = NextAnswer(Kind::OpenFiles, filter, title);
    if (!answer.empty() && chosen) {
        chosen(answer);
    }
}

std::vector<std::string> ScriptedFileDialogs::NextAnswer(Kind kind, const std::string& filter,
                                                         const std::string& title) {
    requests_.push_back({kind, filter, title});
    if (answers_.empty()) {
        return {};
    }
    std::vector<std::string> answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

} // namespace cantova::settings
