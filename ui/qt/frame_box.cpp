#include "ui/qt/frame_box.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace cantova::ui::qt {

void FrameBox::setBorder(bool border) {
    border_ = border;
    update();
}

void FrameBox::setTitleWidget(QWidget* title) {
    title_ = title;
    if (title_ != nullptr) {
        // The title covers the part of the top edge behind it.
        title_->setAutoFillBackground(true);
        title_->raise();
    }
    update();
}

void FrameBox::paintEvent(QPaintEvent* event) {
    if (!border_) {
        return;
    }
    if (title_ == nullptr || !title().isEmpty()) {
        QGroupBox::paintEvent(event);
        return;
    }
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect().adjusted(0, title_->geometry().center().y(), 0, 0);
    option.lineWidth = 1;
    option.midLineWidth = 0;
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, this);
}

FrameBinding::FrameBinding(Frame& frame, QWidget& parent)
    : WidgetBinding(frame, *new FrameBox(&parent)), frame_(frame),
      widget_(static_cast<FrameBox&>(widget())) {
    start();
}

void FrameBinding::showCaption() {
    widget_.setTitle(QString::fromStdString(frame_.caption()));
}

void FrameBinding::showBorder() {
    widget_.setBorder(frame_.border());
}

} // namespace cantova::ui::qt
