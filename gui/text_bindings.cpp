#include "gui/text_bindings.h"

namespace cantova::ui::qt {

TextBinding::TextBinding(TextBox& box, QWidget& parent)
    : WidgetBinding(box, *new QLineEdit(&parent)), box_(box),
      widget_(static_cast<QLineEdit&>(widget())) {
    widget_.setReadOnly(box.readOnly());
    QObject::connect(&widget_, &QLineEdit::textEdited, &widget_, [this](const QString& text) {
        userAction([this, &text] { box_.setText(text.toStdString()); });
    });
    start();
}

void TextBinding::showValue() {
    // Rewriting an equal text would move the cursor of a person typing.
    const QString text = QString::fromStdString(box_.text());
    if (widget_.text() != text) {
        widget_.setText(text);
    }
}

LabelBinding::LabelBinding(Label& label, QWidget& parent)
    : WidgetBinding(label, *new QLabel(&parent)), widget_(static_cast<QLabel&>(widget())) {
    widget_.setTextFormat(Qt::PlainText);
    widget_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = widget_.font();
    font.setBold(label.bold());
    font.setUnderline(label.underline());
    widget_.setFont(font);
    start();
}

void LabelBinding::showCaption() {
    widget_.setText(QString::fromStdString(control().caption()));
}

} // namespace cantova::ui::qt
