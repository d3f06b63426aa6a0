#pragma once

// Frames: a group box that can lose its border, and whose title may be a
// control of its own (a check box sitting on the top edge).

#include "ui/qt/control_binding.h"

#include <QGroupBox>

namespace cantova::ui::qt {

class FrameBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
    void setBorder(bool border);
    bool border() const { return border_; }
    // The widget that reads as the frame's title; the top edge runs through its middle.
    void setTitleWidget(QWidget* title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool border_ = true;
    QWidget* title_ = nullptr;
};

class FrameBinding final : public WidgetBinding {
public:
    FrameBinding(Frame& frame, QWidget& parent);
    FrameBox& box() const { return widget_; }

private:
    void showCaption() override;
    void showBorder() override;

    Frame& frame_;
    FrameBox& widget_;
};

} // namespace cantova::ui::qt
