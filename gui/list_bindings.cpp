#include "gui/list_bindings.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace cantova::ui::qt {

namespace {

void ShowItems(QComboBox& widget, const ItemList& list) {
    widget.clear();
    for (const ListItem& item : list.items()) {
        widget.addItem(QString::fromStdString(item.text), item.data);
    }
}

int ArrowKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    default:
        return 0;
    }
}

} // namespace

void ArrowKeyComboBox::keyPressEvent(QKeyEvent* event) {
    const int code = ArrowKeyCode(event->key());
    // Alt+Down and Alt+Up keep opening and closing the drop-down.
    if (code != 0 && arrowKey_ && !(event->modifiers() & Qt::AltModifier)) {
        event->accept();
        arrowKey_(code);
        return;
    }
    QComboBox::keyPressEvent(event);
}

ComboBinding::ComboBinding(ComboBox& list, QWidget& parent)
    : WidgetBinding(list, *new ArrowKeyComboBox(&parent)), list_(list),
      widget_(static_cast<ArrowKeyComboBox&>(widget())) {
    widget_.setMaxVisibleItems(16);
    QObject::connect(&widget_, &QComboBox::activated, &widget_, [this](int index) {
        userAction([this, index] { list_.setListIndex(index); });
    });
    widget_.onArrowKey([this](int code) { userAction([this, code] { list_.pressKey(code); }); });
    start();
}

void ComboBinding::showValue() {
    widget_.setCurrentIndex(list_.listIndex());
}

void ComboBinding::showItems() {
    ShowItems(widget_, list_);
    showValue();
}

EditableComboBinding::EditableComboBinding(EditableComboBox& list, QWidget& parent)
    : WidgetBinding(list, *new QComboBox(&parent)), list_(list),
      widget_(static_cast<QComboBox&>(widget())) {
    widget_.setEditable(true);
    // The typed text is the setting: no completion, and Enter adds no item.
    widget_.setInsertPolicy(QComboBox::NoInsert);
    widget_.setCompleter(nullptr);
    QObject::connect(&widget_, &QComboBox::activated, &widget_, [this](int index) {
        userAction([this, index] { list_.setListIndex(index); });
    });
    QObject::connect(widget_.lineEdit(), &QLineEdit::textEdited, &widget_,
                     [this](const QString& text) {
                         userAction([this, &text] { list_.setText(text.toStdString()); });
                     });
    start();
}

void EditableComboBinding::showValue() {
    const QSignalBlocker blocker(widget_.lineEdit());
    if (widget_.currentIndex() != list_.listIndex()) {
        widget_.setCurrentIndex(list_.listIndex());
    }
    // Rewriting an equal text would move the cursor of a person typing.
    const QString text = QString::fromStdString(list_.text());
    if (widget_.currentText() != text) {
        widget_.setEditText(text);
    }
}

void EditableComboBinding::showItems() {
    const QSignalBlocker blocker(widget_.lineEdit());
    ShowItems(widget_, list_);
    showValue();
}

ListBoxBinding::ListBoxBinding(ListBox& list, QWidget& parent)
    : WidgetBinding(list, *new QListWidget(&parent)), list_(list),
      widget_(static_cast<QListWidget&>(widget())) {
    QObject::connect(&widget_, &QListWidget::currentRowChanged, &widget_,
                     [this](int row) { userAction([this, row] { list_.setListIndex(row); }); });
    start();
}

void ListBoxBinding::showValue() {
    widget_.setCurrentRow(list_.listIndex());
    if (list_.listIndex() < 0) {
        widget_.clearSelection();
    }
}

void ListBoxBinding::showItems() {
    widget_.clear();
    for (const ListItem& item : list_.items()) {
        widget_.addItem(QString::fromStdString(item.text));
    }
    showValue();
}

} // namespace cantova::ui::qt
