#pragma once

// Frames: a box whose caption sits on its top line, as a group box title does, while the controls
// inside keep the places the form gives them from the frame's outer top-left corner. A frame may
// lose its border, and its title may be a control of its own (a check box on the top edge).

#include "gui/control_binding.h"

#include <QGroupBox>

namespace cantova::ui::qt {

class FrameBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
    // The caption drawn on the top line. The group box's own title stays empty: styles lay out a
    // titled group box with the title above the frame.
    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }
    void setBorder(bool border);
    bool border() const { return border_; }
    // The widget that reads as the frame's title; the top line runs through its middle.
    void setTitleWidget(QWidget* title);
    QWidget* titleWidget() const { return title_; }

    // Where the top line runs: through the middle of the title, at the top when there is none.
    int topLine() const;
    // The room the caption may take on the top line, between the frame's rounded corners.
    QRect titleRoom() const;
    // The width of the top line at either side of the room for the caption.
    static int titleInset();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // How far below the top of the rectangle it is given the style draws a frame's top line.
    int styleLineInset() const;
    // Where the caption is drawn, with a gap in the line on either side of it.
    QRect titleRect() const;

    QString caption_;
    bool border_ = true;
    QWidget* title_ = nullptr;
    mutable int styleLineInset_ = -1;
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
