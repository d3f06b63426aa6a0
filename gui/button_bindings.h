#pragma once

// Check boxes, option buttons and push buttons.

#include "gui/control_binding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace cantova::ui::qt {

// A click ticks an unticked box and unticks a ticked or grayed one.
class CheckBoxBinding final : public WidgetBinding {
public:
    CheckBoxBinding(CheckBox& box, QWidget& parent);

private:
    void showValue() override;
    void showCaption() override;

    CheckBox& box_;
    QCheckBox& widget_;
};

// One element of an option array; the group holds the array's radio buttons.
// The model decides which one is chosen, so Qt's own exclusivity is off.
class OptionBinding final : public WidgetBinding {
public:
    OptionBinding(OptionButton& option, QButtonGroup& group, QWidget& parent);

private:
    void showValue() override;
    void showCaption() override;

    OptionButton& option_;
    QRadioButton& widget_;
};

class ButtonBinding final : public WidgetBinding {
public:
    ButtonBinding(Button& button, QWidget& parent);

private:
    void showCaption() override;

    QPushButton& widget_;
};

} // namespace cantova::ui::qt
