#include "ui/form.h"

namespace cantova::ui {

namespace {

ControlSpec Spec(ControlKind kind, std::string name, int index, std::string container,
                 std::string caption, Geometry g) {
    ControlSpec spec;
    spec.kind = kind;
    spec.name = std::move(name);
    spec.index = index;
    spec.container = std::move(container);
    spec.caption = std::move(caption);
    spec.geometry = g;
    return spec;
}

} // namespace

ControlSpec ControlSpec::disabled() const {
    ControlSpec copy = *this;
    copy.enabled = false;
    return copy;
}

ControlSpec ControlSpec::hidden() const {
    ControlSpec copy = *this;
    copy.visible = false;
    return copy;
}

ControlSpec ControlSpec::inBold() const {
    ControlSpec copy = *this;
    copy.bold = true;
    return copy;
}

ControlSpec ControlSpec::underlined() const {
    ControlSpec copy = *this;
    copy.underline = true;
    return copy;
}

ControlSpec ControlSpec::readOnlyText() const {
    ControlSpec copy = *this;
    copy.readOnly = true;
    return copy;
}

ControlSpec ControlSpec::borderless() const {
    ControlSpec copy = *this;
    copy.border = false;
    return copy;
}

ControlSpec ControlSpec::withValue(int designValue) const {
    ControlSpec copy = *this;
    copy.value = designValue;
    return copy;
}

ControlSpec FrameSpec(std::string name, std::string container, std::string caption, Geometry g) {
    return Spec(ControlKind::Frame, std::move(name), -1, std::move(container), std::move(caption),
                g);
}

ControlSpec LabelSpec(std::string name, std::string container, std::string caption, Geometry g) {
    return Spec(ControlKind::Label, std::move(name), -1, std::move(container), std::move(caption),
                g);
}

ControlSpec TextSpec(std::string name, std::string container, std::string text, Geometry g) {
    return Spec(ControlKind::TextBox, std::move(name), -1, std::move(container), std::move(text),
                g);
}

ControlSpec CheckSpec(std::string name, std::string container, std::string caption, Geometry g) {
    return Spec(ControlKind::CheckBox, std::move(name), -1, std::move(container),
                std::move(caption), g);
}

ControlSpec OptionSpec(std::string name, int index, std::string container, std::string caption,
                       Geometry g) {
    return Spec(ControlKind::OptionButton, std::move(name), index, std::move(container),
                std::move(caption), g);
}

ControlSpec ComboSpec(std::string name, std::string container, std::vector<std::string> items,
                      Geometry g) {
    ControlSpec spec =
        Spec(ControlKind::ComboBox, std::move(name), -1, std::move(container), "", g);
    spec.items = std::move(items);
    return spec;
}

ControlSpec EditableComboSpec(std::string name, std::string container, std::string text,
                              std::vector<std::string> items, Geometry g) {
    ControlSpec spec = Spec(ControlKind::EditableComboBox, std::move(name), -1,
                            std::move(container), std::move(text), g);
    spec.items = std::move(items);
    return spec;
}

ControlSpec ButtonSpec(std::string name, std::string container, std::string caption, Geometry g) {
    return Spec(ControlKind::Button, std::move(name), -1, std::move(container), std::move(caption),
                g);
}

ControlSpec ListBoxSpec(std::string name, int index, std::string container, Geometry g) {
    return Spec(ControlKind::ListBox, std::move(name), index, std::move(container), "", g);
}

ControlSpec MenuSpec(std::string name, std::string parent, std::string caption) {
    return Spec(ControlKind::Menu, std::move(name), -1, std::move(parent), std::move(caption), {});
}

} // namespace cantova::ui
