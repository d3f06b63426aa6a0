#include "gui/access_keys.h"

#include <map>

namespace cantova::ui::qt {

QString MenuTextWithAccessKey(const std::string& caption) {
    static const std::map<std::string, const char*> marked{
        {"Profils", "&Profils"},
        {"Load Audio ...", "&Load Audio ..."},
        {"Save Audio ...", "&Save Audio ..."},
        {"Help", "&Help"},
        {"About", "&About"},
    };
    const auto it = marked.find(caption);
    return QString::fromStdString(it == marked.end() ? caption : it->second);
}

} // namespace cantova::ui::qt
