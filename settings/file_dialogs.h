#pragma once
// Placeholder until the settings branch lands.
#include <deque>
#include <string>
#include <vector>
namespace cantova::settings {
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::string ShowOpenDialog(const std::string& filter, const std::string& title,
                                       const std::string& initialFolder) = 0;
    virtual std::string ShowSaveDialog(const std::string& filter, const std::string& title,
                                       const std::string& initialFolder) = 0;
};
class ScriptedFileDialogs : public FileDialogs {
public:
    void Answer(std::string path) { answers_.push_back(std::move(path)); }
    std::string ShowOpenDialog(const std::string&, const std::string&, const std::string&) override { return next(); }
    std::string ShowSaveDialog(const std::string&, const std::string&, const std::string&) override { return next(); }
private:
    std::string next() { if (answers_.empty()) return {}; auto a = answers_.front(); answers_.pop_front(); return a; }
    std::deque<std::string> answers_;
};
}
