#include "settings/file_dialogs.h"

namespace cantova::settings {

void ScriptedFileDialogs::Answer(std::string path) {
    answers_.push_back(std::move(path));
}

std::string ScriptedFileDialogs::ShowOpenDialog(const std::string& filter, const std::string& title,
                                                const std::string& /*initialFolder*/) {
    return NextAnswer(Kind::Open, filter, title);
}

std::string ScriptedFileDialogs::ShowSaveDialog(const std::string& filter, const std::string& title,
                                                const std::string& /*initialFolder*/) {
    return NextAnswer(Kind::Save, filter, title);
}

std::string ScriptedFileDialogs::NextAnswer(Kind kind, const std::string& filter,
                                            const std::string& title) {
    requests_.push_back({kind, filter, title});
    if (answers_.empty()) {
        return {};
    }
    std::string answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

} // namespace cantova::settings
