#include "ui/window.h"

#include <algorithm>
#include <stdexcept>

namespace cantova::ui {

Window::Window(const FormTable& form)
    : form_(form), caption_(form.caption), width_(form.clientWidth), height_(form.clientHeight) {
    for (const ControlRow& row : form.controls) {
        build(row);
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

void Window::build(const ControlRow& row) {
    switch (row.kind) {
    case ControlKind::CheckBox: {
        auto box = std::make_unique<CheckBox>(row.name, row.container);
        box->setDesignValue(row.value);
        adopt(std::move(box), row);
        return;
    }
    case ControlKind::OptionButton: {
        auto& array = optionArrays_[row.name];
        if (!array) {
            array = std::make_unique<OptionArray>(row.name);
        }
        OptionButton& element = array->add(row.index, row.container);
        if (row.value != 0) {
            array->setDesignChoice(row.index);
        }
        adopt(nullptr, row);
        order_.back() = &element;
        byName_[element.qualifiedName()] = &element;
        element.setCaption(row.caption);
        element.setGeometry(row.geometry);
        element.setEnabled(row.enabled);
        element.setVisible(row.visible);
        return;
    }
    case ControlKind::ComboBox:
    case ControlKind::EditableComboBox: {
        std::unique_ptr<ComboBox> list;
        if (row.kind == ControlKind::ComboBox) {
            list = std::make_unique<ComboBox>(row.name, row.container);
        } else {
            auto editable = std::make_unique<EditableComboBox>(row.name, row.container);
            editable->setText(row.caption);
            list = std::move(editable);
        }
        for (const std::string& item : row.items) {
            list->addItem(item);
        }
        adopt(std::move(list), row);
        return;
    }
    case ControlKind::TextBox: {
        auto box = std::make_unique<TextBox>(row.name, row.container);
        box->setText(row.caption);
        box->setReadOnly(row.readOnly);
        adopt(std::move(box), row);
        return;
    }
    case ControlKind::Label:
        adopt(std::make_unique<Label>(row.name, row.container), row);
        return;
    case ControlKind::Button:
    case ControlKind::Menu:
        adopt(std::make_unique<Button>(row.kind, row.name, row.container), row);
        return;
    case ControlKind::ListBox:
        adopt(std::make_unique<ListBox>(row.name, row.index, row.container), row);
        return;
    case ControlKind::Frame: {
        auto frame = std::make_unique<Frame>(row.name, row.container);
        frame->setBorder(row.border);
        adopt(std::move(frame), row);
        return;
    }
    }
}

void Window::adopt(std::unique_ptr<Control> control, const ControlRow& row) {
    if (!control) {
        // Option elements are owned by their array; the caller fills the slot.
        order_.push_back(nullptr);
        return;
    }
    if (row.kind != ControlKind::TextBox && row.kind != ControlKind::EditableComboBox) {
        control->setCaption(row.caption);
    }
    control->setGeometry(row.geometry);
    control->setEnabled(row.enabled);
    control->setVisible(row.visible);
    control->setFont(row.bold, row.underline);
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
