#include "ui/control.h"

#include <algorithm>
#include <stdexcept>

namespace cantova::ui {

Control::Control(ControlKind kind, std::string name, int index, std::string container)
    : kind_(kind), name_(std::move(name)), index_(index), container_(std::move(container)) {}

std::string Control::qualifiedName() const {
    if (index_ < 0) {
        return name_;
    }
    return name_ + "(" + std::to_string(index_) + ")";
}

void Control::setEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        notify(ControlChange::Enabled);
    }
}

void Control::setVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        notify(ControlChange::Visible);
    }
}

void Control::setCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        notify(ControlChange::Caption);
    }
}

void Control::setGeometry(const Geometry& geometry) {
    if (!(geometry_ == geometry)) {
        geometry_ = geometry;
        notify(ControlChange::Geometry);
    }
}

void Control::setLeft(int left) {
    Geometry g = geometry_;
    g.left = left;
    setGeometry(g);
}

void Control::setTop(int top) {
    Geometry g = geometry_;
    g.top = top;
    setGeometry(g);
}

void Control::setFont(bool bold, bool underline) {
    bold_ = bold;
    underline_ = underline;
}

int Control::subscribe(Observer observer) {
    const int id = nextObserverId_++;
    observers_.push_back({id, std::move(observer)});
    return id;
}

void Control::unsubscribe(int id) {
    std::erase_if(observers_, [id](const Subscription& s) { return s.id == id; });
}

void Control::notify(ControlChange change) {
    // An observer may subscribe or unsubscribe while being told; work on a copy.
    const std::vector<Subscription> current = observers_;
    for (const Subscription& s : current) {
        s.observer(change);
    }
}

void Control::run(const Reaction& reaction) {
    if (reaction) {
        reaction();
    }
}

CheckBox::CheckBox(std::string name, std::string container)
    : Control(ControlKind::CheckBox, std::move(name), -1, std::move(container)) {}

bool CheckBox::setValue(int value) {
    if (value < 0 || value > 2) {
        return false;
    }
    if (value_ != value) {
        value_ = value;
        notify(ControlChange::Value);
        run(click_);
    }
    return true;
}

void CheckBox::restoreValue(int value) {
    if (value_ != value) {
        value_ = value;
        notify(ControlChange::Value);
    }
}

OptionButton::OptionButton(OptionArray& array, int index, std::string container)
    : Control(ControlKind::OptionButton, array.name(), index, std::move(container)), array_(array) {
}

bool OptionButton::value() const {
    return array_.chosen() == index();
}

void OptionButton::setValue(bool value) {
    if (value) {
        array_.choose(index());
    } else {
        array_.clear(index());
    }
}

OptionButton& OptionArray::add(int index, std::string container) {
    if (index != count()) {
        throw std::logic_error("option elements must be added in index order");
    }
    elements_.push_back(std::make_unique<OptionButton>(*this, index, std::move(container)));
    return *elements_.back();
}

OptionButton& OptionArray::operator[](int index) {
    return *elements_.at(index);
}

const OptionButton& OptionArray::operator[](int index) const {
    return *elements_.at(index);
}

void OptionArray::choose(int index) {
    if (chosen_ == index) {
        return;
    }
    const int previous = chosen_;
    chosen_ = index;
    if (previous >= 0) {
        elements_[previous]->notify(ControlChange::Value);
    }
    elements_[index]->notify(ControlChange::Value);
    if (click_) {
        click_(index);
    }
}

void OptionArray::restoreChoice(int index) {
    if (chosen_ == index || index < -1 || index >= count()) {
        return;
    }
    const int previous = chosen_;
    chosen_ = index;
    for (const int element : {previous, index}) {
        if (element >= 0) {
            elements_[static_cast<std::size_t>(element)]->notify(ControlChange::Value);
        }
    }
}

void OptionArray::clear(int index) {
    if (chosen_ == index) {
        chosen_ = -1;
        elements_[index]->notify(ControlChange::Value);
    }
}

void ItemList::setItemData(int i, int data) {
    items_.at(i).data = data;
    notify(ControlChange::Items);
}

bool ItemList::selectedData(int& data) const {
    if (listIndex_ < 0 || listIndex_ >= listCount()) {
        return false;
    }
    data = items_[listIndex_].data;
    return true;
}

std::string ItemList::selectedText() const {
    if (listIndex_ < 0 || listIndex_ >= listCount()) {
        return {};
    }
    return items_[listIndex_].text;
}

void ItemList::addItem(std::string text) {
    addItem(std::move(text), listCount());
}

void ItemList::addItem(std::string text, int data) {
    items_.push_back({std::move(text), data});
    notify(ControlChange::Items);
}

void ItemList::removeItem(int i) {
    items_.erase(items_.begin() + i);
    if (listIndex_ == i) {
        listIndex_ = -1;
    } else if (listIndex_ > i) {
        --listIndex_;
    }
    notify(ControlChange::Items);
}

void ItemList::clear() {
    items_.clear();
    listIndex_ = -1;
    notify(ControlChange::Items);
}

void ItemList::restoreItems(const std::vector<ListItem>& items, int listIndex) {
    if (items_ != items) {
        items_ = items;
        notify(ControlChange::Items);
    }
    storeListIndex(listIndex);
}

bool ItemList::storeListIndex(int index) {
    if (listIndex_ == index) {
        return false;
    }
    listIndex_ = index;
    notify(ControlChange::Value);
    return true;
}

ComboBox::ComboBox(std::string name, std::string container)
    : ComboBox(ControlKind::ComboBox, std::move(name), std::move(container)) {}

ComboBox::ComboBox(ControlKind kind, std::string name, std::string container)
    : ItemList(kind, std::move(name), -1, std::move(container)) {}

bool ComboBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) {
        return false;
    }
    if (storeListIndex(index)) {
        run(click_);
    }
    return true;
}

void ComboBox::pressKey(int keyCode) {
    if (!enabled()) {
        return;
    }
    if (keyDown_) {
        keyDown_(keyCode);
    }
    constexpr int left = 37, up = 38, down = 40;
    if (keyCode < left || keyCode > down || listCount() == 0) {
        return;
    }
    int target = listIndex();
    if (target < 0) {
        target = 0;
    } else if (keyCode == left || keyCode == up) {
        target = std::max(target - 1, 0);
    } else {
        target = std::min(target + 1, listCount() - 1);
    }
    setListIndex(target);
}

EditableComboBox::EditableComboBox(std::string name, std::string container)
    : ComboBox(ControlKind::EditableComboBox, std::move(name), std::move(container)) {}

void EditableComboBox::setText(std::string text) {
    if (text_ == text) {
        return;
    }
    text_ = std::move(text);
    int match = -1;
    for (int i = 0; i < listCount(); ++i) {
        if (items_[i].text == text_) {
            match = i;
            break;
        }
    }
    storeListIndex(match);
    notify(ControlChange::Value);
    run(click_);
}

bool EditableComboBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) {
        return false;
    }
    if (!storeListIndex(index)) {
        return true;
    }
    if (index >= 0) {
        text_ = items_[index].text;
        notify(ControlChange::Value);
    }
    run(click_);
    return true;
}

void EditableComboBox::restoreText(std::string text) {
    if (text_ != text) {
        text_ = std::move(text);
        notify(ControlChange::Value);
    }
}

TextBox::TextBox(std::string name, std::string container)
    : Control(ControlKind::TextBox, std::move(name), -1, std::move(container)) {}

void TextBox::setText(std::string text) {
    if (text_ != text) {
        text_ = std::move(text);
        notify(ControlChange::Value);
    }
}

Label::Label(std::string name, std::string container)
    : Control(ControlKind::Label, std::move(name), -1, std::move(container)) {}

Button::Button(ControlKind kind, std::string name, std::string container)
    : Control(kind, std::move(name), -1, std::move(container)) {}

void Button::press() {
    if (enabled()) {
        run(click_);
    }
}

ListBox::ListBox(std::string name, int index, std::string container)
    : ItemList(ControlKind::ListBox, std::move(name), index, std::move(container)) {}

bool ListBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) {
        return false;
    }
    storeListIndex(index);
    return true;
}

Frame::Frame(std::string name, std::string container)
    : Control(ControlKind::Frame, std::move(name), -1, std::move(container)) {}

void Frame::setBorder(bool border) {
    if (border_ != border) {
        border_ = border;
        notify(ControlChange::Border);
    }
}

} // namespace cantova::ui
