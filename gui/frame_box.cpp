#include "gui/frame_box.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QStyleOptionFrame>

namespace cantova::ui::qt {

namespace {

// From the frame's left edge to the gap before the caption, and from the gap to the caption.
constexpr int kTitleIndent = 6;
constexpr int kTitleGap = 2;

} // namespace

void FrameBox::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
    update();
}

void FrameBox::setBorder(bool border) {
    border_ = border;
    update();
}

void FrameBox::setTitleWidget(QWidget* title) {
    title_ = title;
    if (title_ != nullptr) {
        // The title covers the part of the top line behind it.
        title_->setAutoFillBackground(true);
        title_->raise();
    }
    update();
}

int FrameBox::topLine() const {
    if (!caption_.isEmpty()) {
        return fontMetrics().height() / 2;
    }
    return title_ != nullptr ? title_->geometry().center().y() : 0;
}

int FrameBox::titleInset() {
    return kTitleIndent + kTitleGap;
}

QRect FrameBox::titleRoom() const {
    return {titleInset(), 0, width() - 2 * titleInset(), fontMetrics().height()};
}

QRect FrameBox::titleRect() const {
    return {kTitleIndent, 0, fontMetrics().horizontalAdvance(caption_) + 2 * kTitleGap,
            fontMetrics().height()};
}

int FrameBox::styleLineInset() const {
    if (styleLineInset_ < 0) {
        // Drawn once on a clear picture: the first row the frame colours in its middle column.
        QImage picture(32, 32, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QStyleOptionFrame option;
        option.initFrom(this);
        option.rect = picture.rect();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        QPainter painter(&picture);
        style()->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, this);
        painter.end();
        styleLineInset_ = 0;
        while (styleLineInset_ < picture.height() - 1 &&
               qAlpha(picture.pixel(picture.width() / 2, styleLineInset_)) == 0) {
            ++styleLineInset_;
        }
    }
    return styleLineInset_;
}

void FrameBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) {
        styleLineInset_ = -1;
    }
    QGroupBox::changeEvent(event);
}

void FrameBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (border_) {
        QStyleOptionFrame option;
        option.initFrom(this);
        option.rect = rect().adjusted(0, topLine() - styleLineInset(), 0, 0);
        option.lineWidth = 1;
        option.midLineWidth = 0;
        painter.save();
        if (!caption_.isEmpty()) {
            painter.setClipRegion(QRegion(rect()).subtracted(titleRect()));
        }
        style()->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, this);
        painter.restore();
    }
    if (!caption_.isEmpty()) {
        style()->drawItemText(&painter, titleRect(), Qt::AlignCenter, palette(), isEnabled(),
                              caption_, QPalette::WindowText);
    }
}

FrameBinding::FrameBinding(Frame& frame, QWidget& parent)
    : WidgetBinding(frame, *new FrameBox(&parent)), frame_(frame),
      widget_(static_cast<FrameBox&>(widget())) {
    start();
}

void FrameBinding::showCaption() {
    widget_.setCaption(QString::fromStdString(frame_.caption()));
}

void FrameBinding::showBorder() {
    widget_.setBorder(frame_.border());
}

} // namespace cantova::ui::qt
