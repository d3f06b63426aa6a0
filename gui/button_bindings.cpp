#include "gui/button_bindings.h"

namespace cantova::ui::qt {

CheckBoxBinding::CheckBoxBinding(CheckBox& box, QWidget& parent)
    : WidgetBinding(box, *new QCheckBox(&parent)), box_(box),
      widget_(static_cast<QCheckBox&>(widget())) {
    QObject::connect(&widget_, &QCheckBox::clicked, &widget_,
                     [this] { userAction([this] { box_.setValue(box_.value() == 0 ? 1 : 0); }); });
    start();
}

void CheckBoxBinding::showValue() {
    switch (box_.value()) {
    case 1:
        widget_.setCheckState(Qt::Checked);
        break;
    case 2:
        widget_.setCheckState(Qt::PartiallyChecked);
        break;
    default:
        widget_.setCheckState(Qt::Unchecked);
        break;
    }
}

void CheckBoxBinding::showCaption() {
    widget_.setText(QString::fromStdString(box_.caption()));
}

OptionBinding::OptionBinding(OptionButton& option, QButtonGroup& group, QWidget& parent)
    : WidgetBinding(option, *new QRadioButton(&parent)), option_(option),
      widget_(static_cast<QRadioButton&>(widget())) {
    widget_.setAutoExclusive(false);
    group.addButton(&widget_, option.index());
    QObject::connect(&widget_, &QRadioButton::clicked, &widget_,
                     [this] { userAction([this] { option_.setValue(true); }); });
    start();
}

void OptionBinding::showValue() {
    widget_.setChecked(option_.value());
}

void OptionBinding::showCaption() {
    widget_.setText(QString::fromStdString(option_.caption()));
}

ButtonBinding::ButtonBinding(Button& button, QWidget& parent)
    : WidgetBinding(button, *new QPushButton(&parent)),
      widget_(static_cast<QPushButton&>(widget())) {
    widget_.setAutoDefault(false);
    QObject::connect(&widget_, &QPushButton::clicked, &widget_, [&button] { button.press(); });
    start();
}

void ButtonBinding::showCaption() {
    widget_.setText(QString::fromStdString(control().caption()));
}

} // namespace cantova::ui::qt
