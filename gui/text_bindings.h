#pragma once

// Text boxes and labels.

#include "gui/control_binding.h"

#include <QLabel>
#include <QLineEdit>

namespace cantova::ui::qt {

// What a person types becomes the box's text; setting a text runs nothing.
class TextBinding final : public WidgetBinding {
public:
    TextBinding(TextBox& box, QWidget& parent);

private:
    void showValue() override;

    TextBox& box_;
    QLineEdit& widget_;
};

// A label in the font the form names (bold, underlined).
class LabelBinding final : public WidgetBinding {
public:
    LabelBinding(Label& label, QWidget& parent);

private:
    void showCaption() override;

    QLabel& widget_;
};

} // namespace cantova::ui::qt
