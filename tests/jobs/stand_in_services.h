#pragma once

// Stand-ins for a person and for the media library: recorded message boxes and a
// library loader whose GetAc3Info answers from a script.

#include "jobs/ac3_query.h"
#include "jobs/library_loader.h"
#include "ui/message_boxes.h"

#include <string>
#include <vector>

namespace cantova::test {

using jobs::AC3_INFO;
using jobs::LibraryLoader;

struct Shown {
    std::string text;
    std::string caption;
    ui::MessageIcon icon;
};

class RecordedMessages : public ui::MessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, ui::MessageIcon icon) override {
        shown.push_back({text, caption, icon});
    }
    void Ask(const std::string& text, const std::string& caption, Answer answered) override {
        asked.push_back({text, caption, ui::MessageIcon::Question});
        answered(answer);
    }
    std::vector<Shown> shown;
    std::vector<Shown> asked;
    bool answer = false;
};

// What the stand-in GetAc3Info saw and answers.
struct ProbeScript {
    AC3_INFO answer{448, 5, 48000};
    std::string seenPath;
    AC3_INFO seenRecord{-1, -1, -1};
};
inline ProbeScript* gProbe = nullptr;

inline int StandInGetAc3Info(char* path, AC3_INFO* info) {
    gProbe->seenPath = path;
    gProbe->seenRecord = *info;
    *info = gProbe->answer;
    return 1;
}

class StandInLoader : public LibraryLoader {
public:
    bool hasLibrary = true;
    bool hasSymbol = true;
    std::vector<std::string> opened;
    std::vector<std::string> looked;
    int open = 0;

    Handle Open(const std::string& name) override {
        opened.push_back(name);
        if (!hasLibrary) {
            return nullptr;
        }
        ++open;
        return this;
    }
    void* FindSymbol(Handle, const std::string& symbol) override {
        looked.push_back(symbol);
        return hasSymbol ? reinterpret_cast<void*>(&StandInGetAc3Info) : nullptr;
    }
    void Close(Handle) override { --open; }
};

} // namespace cantova::test
