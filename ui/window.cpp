#include "ui/window.h"

#include <algorithm>
#include <stdexcept>

namespace cantova::ui {

Window::Window(const FormSpec& form)
    : form_(form), caption_(form.caption), width_(form.clientWidth), height_(form.clientHeight) {
    for (const ControlSpec& spec : form.controls) {
        build(spec);
    }
}

void Window::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(WindowChange::Caption);
    }
}

void Window::show() {
    // Showing an open window again still tells the view, so that it comes to the front.
    visible_ = true;
    notify(WindowChange::Visible);
}

void Window::hide() {
    if (visible_) {
        visible_ = false;
        notify(WindowChange::Visible);
    }
}

void Window::setSize(int width, int height) {
    if (width_ != width || height_ != height) {
        width_ = width;
        height_ = height;
        notify(WindowChange::Size);
    }
}

Control* Window::find(const std::string& qualifiedName) const {
    auto it = byName_.find(qualifiedName);
    return it == byName_.end() ? nullptr : it->second;
}

OptionArray* Window::findOptionArray(const std::string& name) const {
    auto it = optionArrays_.find(name);
    return it == optionArrays_.end() ? nullptr : it->second.get();
}

template <typename T> T& Window::typed(const std::string& qualifiedName) const {
    auto* control = dynamic_cast<T*>(find(qualifiedName));
    if (control == nullptr) {
        throw std::logic_error(name() + " has no control " + qualifiedName + " of that kind");
    }
    return *control;
}

CheckBox& Window::checkBox(const std::string& name) const {
    return typed<CheckBox>(name);
}
ComboBox& Window::comboBox(const std::string& name) const {
    return typed<ComboBox>(name);
}
EditableComboBox& Window::editableComboBox(const std::string& name) const {
    return typed<EditableComboBox>(name);
}
TextBox& Window::textBox(const std::string& name) const {
    return typed<TextBox>(name);
}
Label& Window::label(const std::string& name) const {
    return typed<Label>(name);
}
Button& Window::button(const std::string& name) const {
    return typed<Button>(name);
}
Frame& Window::frame(const std::string& name) const {
    return typed<Frame>(name);
}
ListBox& Window::listBox(const std::string& qualifiedName) const {
    return typed<ListBox>(qualifiedName);
}

OptionArray& Window::optionArray(const std::string& name) const {
    OptionArray* array = findOptionArray(name);
    if (array == nullptr) {
        throw std::logic_error(this->name() + " has no option array " + name);
    }
    return *array;
}

void Window::build(const ControlSpec& spec) {
    switch (spec.kind) {
    case ControlKind::CheckBox: {
        auto box = std::make_unique<CheckBox>(spec.name, spec.container);
        box->setDesignValue(spec.value);
        adopt(std::move(box), spec);
        return;
    }
    case ControlKind::OptionButton: {
        auto& array = optionArrays_[spec.name];
        if (!array) {
            array = std::make_unique<OptionArray>(spec.name);
        }
        OptionButton& element = array->add(spec.index, spec.container);
        if (spec.value != 0) {
            array->setDesignChoice(spec.index);
        }
        adopt(nullptr, spec);
        order_.back() = &element;
        byName_[element.qualifiedName()] = &element;
        element.setCaption(spec.caption);
        element.setGeometry(spec.geometry);
        element.setEnabled(spec.enabled);
        element.setVisible(spec.visible);
        return;
    }
    case ControlKind::ComboBox:
    case ControlKind::EditableComboBox: {
        std::unique_ptr<ComboBox> list;
        if (spec.kind == ControlKind::ComboBox) {
            list = std::make_unique<ComboBox>(spec.name, spec.container);
        } else {
            auto editable = std::make_unique<EditableComboBox>(spec.name, spec.container);
            editable->setText(spec.caption);
            list = std::move(editable);
        }
        for (const std::string& item : spec.items) {
            list->addItem(item);
        }
        adopt(std::move(list), spec);
        return;
    }
    case ControlKind::TextBox: {
        auto box = std::make_unique<TextBox>(spec.name, spec.container);
        box->setText(spec.caption);
        box->setReadOnly(spec.readOnly);
        adopt(std::move(box), spec);
        return;
    }
    case ControlKind::Label:
        adopt(std::make_unique<Label>(spec.name, spec.container), spec);
        return;
    case ControlKind::Button:
    case ControlKind::Menu:
        adopt(std::make_unique<Button>(spec.kind, spec.name, spec.container), spec);
        return;
    case ControlKind::ListBox:
        adopt(std::make_unique<ListBox>(spec.name, spec.index, spec.container), spec);
        return;
    case ControlKind::Frame: {
        auto frame = std::make_unique<Frame>(spec.name, spec.container);
        frame->setBorder(spec.border);
        adopt(std::move(frame), spec);
        return;
    }
    }
}

void Window::adopt(std::unique_ptr<Control> control, const ControlSpec& spec) {
    if (!control) {
        // Option elements are owned by their array; the caller fills the slot.
        order_.push_back(nullptr);
        return;
    }
    if (spec.kind != ControlKind::TextBox && spec.kind != ControlKind::EditableComboBox) {
        control->setCaption(spec.caption);
    }
    control->setGeometry(spec.geometry);
    control->setEnabled(spec.enabled);
    control->setVisible(spec.visible);
    control->setFont(spec.bold, spec.underline);
    order_.push_back(control.get());
    byName_[control->qualifiedName()] = control.get();
    owned_.push_back(std::move(control));
}

ListBox& Window::addListBoxElement(const std::string& name, int index) {
    const ListBox& first = listBox(name + "(0)");
    auto element = std::make_unique<ListBox>(name, index, first.container());
    element->setGeometry(first.geometry());
    element->setVisible(false);
    ListBox& result = *element;
    order_.push_back(element.get());
    byName_[result.qualifiedName()] = element.get();
    owned_.push_back(std::move(element));
    return result;
}

void Window::removeListBoxElement(const std::string& name, int index) {
    const std::string qualified = name + "(" + std::to_string(index) + ")";
    Control* element = find(qualified);
    if (element == nullptr) {
        return;
    }
    byName_.erase(qualified);
    std::erase(order_, element);
    std::erase_if(owned_, [element](const auto& owned) { return owned.get() == element; });
}

int Window::subscribe(Observer observer) {
    const int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void Window::unsubscribe(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Window::notify(WindowChange change) {
    // An observer may subscribe or unsubscribe while being told; work on a copy.
    const auto current = observers_;
    for (const auto& [id, observer] : current) {
        observer(change);
    }
}

} // namespace cantova::ui
