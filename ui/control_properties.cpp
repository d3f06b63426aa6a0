#include "ui/control_properties.h"

#include <charconv>

namespace cantova::ui {

namespace {

std::string Flag(bool value) {
    return value ? "1" : "0";
}

bool HasCaption(ControlKind kind) {
    switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Label:
    case ControlKind::Button:
    case ControlKind::Menu:
    case ControlKind::Frame:
        return true;
    default:
        return false;
    }
}

// "List(3)" gives 3 for the prefix "List".
std::optional<int> ItemArgument(const std::string& property, const std::string& prefix) {
    if (property.size() < prefix.size() + 3 || property.compare(0, prefix.size(), prefix) != 0 ||
        property[prefix.size()] != '(' || property.back() != ')') {
        return std::nullopt;
    }
    return ParseDecimal(property.substr(prefix.size() + 1, property.size() - prefix.size() - 2));
}

std::optional<std::string> ReadListProperty(const ItemList& list, const std::string& property) {
    if (property == "ListIndex") {
        return std::to_string(list.listIndex());
    }
    if (property == "ListCount") {
        return std::to_string(list.listCount());
    }
    if (property == "Text") {
        if (const auto* editable = dynamic_cast<const EditableComboBox*>(&list)) {
            return editable->text();
        }
        return list.selectedText();
    }
    for (const char* prefix : {"List", "ItemData"}) {
        if (auto i = ItemArgument(property, prefix)) {
            if (*i < 0 || *i >= list.listCount()) {
                return std::nullopt;
            }
            return std::string(prefix) == "List" ? list.list(*i)
                                                 : std::to_string(list.itemData(*i));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<int> ItemPropertyIndex(const std::string& property) {
    for (const char* prefix : {"List", "ItemData"}) {
        if (auto i = ItemArgument(property, prefix)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<int> ParseDecimal(const std::string& text) {
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin == end || *begin == '+') {
        return std::nullopt;
    }
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> ReadProperty(const Control& control, const std::string& property) {
    if (property == "Enabled") {
        return Flag(control.enabled());
    }
    if (property == "Visible") {
        return Flag(control.visible());
    }
    if (property == "Caption" && HasCaption(control.kind())) {
        return control.caption();
    }
    if (control.kind() != ControlKind::Menu) {
        const Geometry& g = control.geometry();
        if (property == "Left") {
            return std::to_string(g.left);
        }
        if (property == "Top") {
            return std::to_string(g.top);
        }
        if (property == "Width") {
            return std::to_string(g.width);
        }
        if (property == "Height") {
            return std::to_string(g.height);
        }
    }
    if (const auto* box = dynamic_cast<const CheckBox*>(&control)) {
        if (property == "Value") {
            return std::to_string(box->value());
        }
    }
    if (const auto* option = dynamic_cast<const OptionButton*>(&control)) {
        if (property == "Value") {
            return Flag(option->value());
        }
    }
    if (const auto* text = dynamic_cast<const TextBox*>(&control)) {
        if (property == "Text") {
            return text->text();
        }
    }
    if (const auto* frame = dynamic_cast<const Frame*>(&control)) {
        if (property == "BorderStyle") {
            return Flag(frame->border());
        }
    }
    if (const auto* list = dynamic_cast<const ItemList*>(&control)) {
        return ReadListProperty(*list, property);
    }
    return std::nullopt;
}

AssignResult AssignProperty(Control& control, const std::string& property,
                            const std::string& value) {
    if (property == "Text") {
        if (auto* text = dynamic_cast<TextBox*>(&control)) {
            text->setText(value);
            return AssignResult::Done;
        }
        if (auto* editable = dynamic_cast<EditableComboBox*>(&control)) {
            editable->setText(value);
            return AssignResult::Done;
        }
        return AssignResult::NoSuchProperty;
    }
    if (property != "Value" && property != "ListIndex") {
        return AssignResult::NoSuchProperty;
    }
    auto* box = dynamic_cast<CheckBox*>(&control);
    auto* option = dynamic_cast<OptionButton*>(&control);
    auto* combo = dynamic_cast<ComboBox*>(&control);
    auto* listBox = dynamic_cast<ListBox*>(&control);
    if (property == "Value" && box == nullptr && option == nullptr) {
        return AssignResult::NoSuchProperty;
    }
    if (property == "ListIndex" && combo == nullptr && listBox == nullptr) {
        return AssignResult::NoSuchProperty;
    }
    const std::optional<int> number = ParseDecimal(value);
    if (!number) {
        return AssignResult::InvalidValue;
    }
    if (box != nullptr) {
        return box->setValue(*number) ? AssignResult::Done : AssignResult::InvalidValue;
    }
    if (option != nullptr) {
        if (*number != 0 && *number != 1) {
            return AssignResult::InvalidValue;
        }
        option->setValue(*number == 1);
        return AssignResult::Done;
    }
    const bool accepted =
        combo != nullptr ? combo->setListIndex(*number) : listBox->setListIndex(*number);
    return accepted ? AssignResult::Done : AssignResult::InvalidValue;
}

std::vector<std::pair<std::string, std::string>> AllProperties(const Control& control) {
    std::vector<std::string> names = {"Value",   "ListIndex", "Text",        "Caption",
                                      "Enabled", "Visible",   "Left",        "Top",
                                      "Width",   "Height",    "BorderStyle", "ListCount"};
    if (const auto* list = dynamic_cast<const ItemList*>(&control)) {
        for (int i = 0; i < list->listCount(); ++i) {
            names.push_back("List(" + std::to_string(i) + ")");
            names.push_back("ItemData(" + std::to_string(i) + ")");
        }
    }
    std::vector<std::pair<std::string, std::string>> result;
    for (const std::string& name : names) {
        if (auto value = ReadProperty(control, name)) {
            result.emplace_back(name, *value);
        }
    }
    return result;
}

} // namespace cantova::ui
