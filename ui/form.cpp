#include "ui/form.h"

namespace cantova::ui {

namespace {

ControlRow Row(ControlKind kind, std::string name, int index, std::string container,
               std::string caption, Geometry g) {
    ControlRow row;
    row.kind = kind;
    row.name = std::move(name);
    row.index = index;
    row.container = std::move(container);
    row.caption = std::move(caption);
    row.geometry = g;
    return row;
}

} // namespace

ControlRow ControlRow::disabled() const {
    ControlRow copy = *this;
    copy.enabled = false;
    return copy;
}

ControlRow ControlRow::hidden() const {
    ControlRow copy = *this;
    copy.visible = false;
    return copy;
}

ControlRow ControlRow::inBold() const {
    ControlRow copy = *this;
    copy.bold = true;
    return copy;
}

ControlRow ControlRow::underlined() const {
    ControlRow copy = *this;
    copy.underline = true;
    return copy;
}

ControlRow ControlRow::readOnlyText() const {
    ControlRow copy = *this;
    copy.readOnly = true;
    return copy;
}

ControlRow ControlRow::borderless() const {
    ControlRow copy = *this;
    copy.border = false;
    return copy;
}

ControlRow ControlRow::withValue(int designValue) const {
    ControlRow copy = *this;
    copy.value = designValue;
    return copy;
}

ControlRow FrameRow(std::string name, std::string container, std::string caption, Geometry g) {
    return Row(ControlKind::Frame, std::move(name), -1, std::move(container), std::move(caption),
               g);
}

ControlRow LabelRow(std::string name, std::string container, std::string caption, Geometry g) {
    return Row(ControlKind::Label, std::move(name), -1, std::move(container), std::move(caption),
               g);
}

ControlRow TextRow(std::string name, std::string container, std::string text, Geometry g) {
    return Row(ControlKind::TextBox, std::move(name), -1, std::move(container), std::move(text), g);
}

ControlRow CheckRow(std::string name, std::string container, std::string caption, Geometry g) {
    return Row(ControlKind::CheckBox, std::move(name), -1, std::move(container), std::move(caption),
               g);
}

ControlRow OptionRow(std::string name, int index, std::string container, std::string caption,
                     Geometry g) {
    return Row(ControlKind::OptionButton, std::move(name), index, std::move(container),
               std::move(caption), g);
}

ControlRow ComboRow(std::string name, std::string container, std::vector<std::string> items,
                    Geometry g) {
    ControlRow row = Row(ControlKind::ComboBox, std::move(name), -1, std::move(container), "", g);
    row.items = std::move(items);
    return row;
}

ControlRow EditableComboRow(std::string name, std::string container, std::string text,
                            std::vector<std::string> items, Geometry g) {
    ControlRow row = Row(ControlKind::EditableComboBox, std::move(name), -1, std::move(container),
                         std::move(text), g);
    row.items = std::move(items);
    return row;
}

ControlRow ButtonRow(std::string name, std::string container, std::string caption, Geometry g) {
    return Row(ControlKind::Button, std::move(name), -1, std::move(container), std::move(caption),
               g);
}

ControlRow ListBoxRow(std::string name, int index, std::string container, Geometry g) {
    return Row(ControlKind::ListBox, std::move(name), index, std::move(container), "", g);
}

ControlRow MenuRow(std::string name, std::string parent, std::string caption) {
    return Row(ControlKind::Menu, std::move(name), -1, std::move(parent), std::move(caption), {});
}

} // namespace cantova::ui
