#pragma once

// Drop-down lists, the editable list and list boxes.

#include "gui/control_binding.h"

#include <QComboBox>
#include <QListWidget>

#include <functional>

namespace cantova::ui::qt {

// Hands the arrow keys of a closed drop-down list to its owner (key code
// 37 left, 38 up, 39 right, 40 down) instead of moving the selection itself.
class ArrowKeyComboBox final : public QComboBox {
public:
    using QComboBox::QComboBox;
    void onArrowKey(std::function<void(int)> handler) { arrowKey_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(int)> arrowKey_;
};

// A list that cannot be edited: its setting is the selected position. Arrow
// keys go through the model's key handling, as a person's key press does.
class ComboBinding final : public WidgetBinding {
public:
    ComboBinding(ComboBox& list, QWidget& parent);

private:
    void showValue() override;
    void showItems() override;

    ComboBox& list_;
    ArrowKeyComboBox& widget_;
};

// The editable list: typing sets its text, picking an item selects it.
class EditableComboBinding final : public WidgetBinding {
public:
    EditableComboBinding(EditableComboBox& list, QWidget& parent);

private:
    void showValue() override;
    void showItems() override;

    EditableComboBox& list_;
    QComboBox& widget_;
};

// A list box; its selection runs nothing in the model.
class ListBoxBinding final : public WidgetBinding {
public:
    ListBoxBinding(ListBox& list, QWidget& parent);

private:
    void showValue() override;
    void showItems() override;

    ListBox& list_;
    QListWidget& widget_;
};

} // namespace cantova::ui::qt
