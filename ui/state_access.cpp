#include "ui/state_access.h"

#include "ui/windows.h"

#include <algorithm>
#include <set>

namespace cantova::ui {

namespace {

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::vector<std::string> SplitAtDots(const std::string& name) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto dot = name.find('.', start);
        parts.push_back(name.substr(start, dot - start));
        if (dot == std::string::npos) {
            return parts;
        }
        start = dot + 1;
    }
}

// The Opus and FLAC targets' controls: scripts that read the dump see it as before until one of
// those targets is chosen or their panel settings are changed.
bool OpusFlacControlUnused(const Windows& windows, const Control& control) {
    static const std::set<std::string> kNames{
        "OptAudioCodec(4)", "OptAudioCodec(5)", "FrameOpus",    "LblOpusMode", "CmbOpusMode",
        "ChkOpusStereo",    "FrameFlac",        "LblFlacLevel", "CmbFlacLevel"};
    if (kNames.count(control.qualifiedName()) == 0) {
        return false;
    }
    const std::optional<Codec> codec = ChosenCodec(windows.frmMain);
    const AdvancedPanel& panel = windows.frmPanelAudio;
    return codec != Codec::Opus && codec != Codec::Flac && panel.CmbOpusMode.listIndex() == 0 &&
           panel.ChkOpusStereo.value() == 0 && panel.CmbFlacLevel.listIndex() == kDefaultFlacLevel;
}

} // namespace

Window* StateAccess::windowNamed(const std::string& name) const {
    if (name == windows_.frmMain.name()) {
        return &windows_.frmMain;
    }
    if (name == windows_.frmPanelAudio.name()) {
        return &windows_.frmPanelAudio;
    }
    return nullptr;
}

std::optional<std::string> StateAccess::readWindowValue(const Window* window,
                                                        const std::string& name) const {
    const ProgramValues& program = windows_.program;
    if (window == nullptr) {
        if (name == "Ac3Channels") {
            return std::to_string(program.Ac3Channels);
        }
        if (name == "Ac3Frequency") {
            return std::to_string(program.Ac3Frequency);
        }
        if (name == "TranscoderPath") {
            return program.TranscoderPath;
        }
    }
    if ((window == nullptr || window == &windows_.frmMain) && name == "BitRateAC3") {
        return std::to_string(windows_.frmMain.BitRateAC3);
    }
    if (window == nullptr || window == &windows_.frmPanelAudio) {
        if (name == "SavePreviousAltPresetListIndex") {
            return std::to_string(windows_.frmPanelAudio.SavePreviousAltPresetListIndex);
        }
        if (name == "isKeyDown") {
            return Flag(windows_.frmPanelAudio.isKeyDown);
        }
    }
    if (window != nullptr) {
        if (name == "Caption") {
            return window->caption();
        }
        if (name == "Visible") {
            return Flag(window->visible());
        }
        if (name == "Width") {
            return std::to_string(window->width());
        }
        if (name == "Height") {
            return std::to_string(window->height());
        }
    }
    return std::nullopt;
}

Control* StateAccess::findControl(const std::string& name, std::string& error) const {
    std::vector<std::string> parts = SplitAtDots(name);
    Window* window = nullptr;
    if (parts.size() == 2) {
        window = windowNamed(parts[0]);
        if (window == nullptr) {
            error = "unknown window '" + parts[0] + "'";
            return nullptr;
        }
        parts.erase(parts.begin());
    }
    if (parts.size() != 1) {
        error = "unknown control '" + name + "'";
        return nullptr;
    }
    if (window != nullptr) {
        Control* control = window->find(parts[0]);
        if (control == nullptr) {
            error = "unknown control '" + name + "'";
        }
        return control;
    }
    Control* inMain = windows_.frmMain.find(parts[0]);
    Control* inPanel = windows_.frmPanelAudio.find(parts[0]);
    if (inMain != nullptr && inPanel != nullptr) {
        error = "'" + parts[0] + "' exists in both windows; write frmMain." + parts[0] +
                " or frmPanelAudio." + parts[0];
        return nullptr;
    }
    if (inMain == nullptr && inPanel == nullptr) {
        error = "unknown control '" + name + "'";
        return nullptr;
    }
    return inMain != nullptr ? inMain : inPanel;
}

std::optional<StateAccess::Target> StateAccess::resolve(const std::string& name,
                                                        std::string& error) const {
    std::vector<std::string> parts = SplitAtDots(name);
    Target target;
    if (parts.size() >= 2) {
        target.window = windowNamed(parts[0]);
    }
    const std::size_t controlPart = target.window != nullptr ? 1 : 0;
    if (parts.size() == controlPart + 1) {
        target.property = parts[controlPart];
        return target;
    }
    if (parts.size() != controlPart + 2) {
        error = "unknown name '" + name + "'";
        return std::nullopt;
    }
    const std::string controlName = target.window != nullptr ? parts[0] + "." + parts[1] : parts[0];
    target.control = findControl(controlName, error);
    if (target.control == nullptr) {
        return std::nullopt;
    }
    target.property = parts[controlPart + 1];
    return target;
}

std::optional<std::string> StateAccess::read(const std::string& name, std::string& error) const {
    const std::optional<Target> target = resolve(name, error);
    if (!target) {
        return std::nullopt;
    }
    std::optional<std::string> value = target->control != nullptr
                                           ? ReadProperty(*target->control, target->property)
                                           : readWindowValue(target->window, target->property);
    if (value) {
        return value;
    }
    const auto* list = dynamic_cast<const ItemList*>(target->control);
    if (const std::optional<int> item = ItemPropertyIndex(target->property); list && item) {
        error = "'" + name + "': there is no item " + std::to_string(*item) + " in " +
                list->qualifiedName() + ", which holds " + std::to_string(list->listCount()) +
                (list->listCount() == 1 ? " item" : " items");
    } else {
        error = "unknown property or value '" + name + "'";
    }
    return std::nullopt;
}

bool StateAccess::readable(const std::string& name, std::string& error) const {
    const std::optional<Target> target = resolve(name, error);
    if (!target) {
        return false;
    }
    if (dynamic_cast<const ItemList*>(target->control) != nullptr &&
        ItemPropertyIndex(target->property)) {
        return true;
    }
    return read(name, error).has_value();
}

bool StateAccess::assign(const std::string& name, const std::string& value, std::string& error) {
    const std::optional<Target> target = resolve(name, error);
    if (!target) {
        return false;
    }
    if (target->control == nullptr) {
        error = "'" + name + "' cannot be assigned";
        return false;
    }
    switch (AssignProperty(*target->control, target->property, value)) {
    case AssignResult::Done:
        return true;
    case AssignResult::NoSuchProperty:
        error = "'" + name + "' cannot be assigned";
        return false;
    case AssignResult::InvalidValue:
        error = "invalid value '" + value + "' for " + name;
        return false;
    }
    return false;
}

std::vector<std::string> StateAccess::dump() const {
    std::vector<std::string> lines;
    const ProgramValues& program = windows_.program;
    lines.push_back("Ac3Channels=" + std::to_string(program.Ac3Channels));
    lines.push_back("Ac3Frequency=" + std::to_string(program.Ac3Frequency));
    lines.push_back("TranscoderPath=" + program.TranscoderPath);
    const Window* windows[] = {&windows_.frmMain, &windows_.frmPanelAudio};
    for (const Window* window : windows) {
        for (const char* value : {"Caption", "Visible", "Width", "Height", "BitRateAC3",
                                  "SavePreviousAltPresetListIndex", "isKeyDown"}) {
            if (auto text = readWindowValue(window, value)) {
                lines.push_back(window->name() + "." + value + "=" + *text);
            }
        }
        for (const Control* control : window->controls()) {
            // Scripts that read the dump see it as before until an output folder is set or
            // outputs are named after their sources.
            const MainWindow& main = windows_.frmMain;
            if (window == &main && main.TxtOutputFolder.text().empty() &&
                main.ChkOutputNameFromSource.value() == 0 &&
                (control->name() == "FrmOutputFolder" || control->name() == "TxtOutputFolder" ||
                 control->name() == "ChkOutputNameFromSource")) {
                continue;
            }
            if (OpusFlacControlUnused(windows_, *control)) {
                continue;
            }
            for (const auto& [property, text] : AllProperties(*control)) {
                lines.push_back(window->name() + "." + control->qualifiedName() + "." + property +
                                "=" + text);
            }
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace cantova::ui
