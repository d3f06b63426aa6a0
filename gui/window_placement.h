#pragma once

// Placement of top-level windows on the screen.

#include <QObject>
#include <QScrollArea>
#include <QSize>
#include <QWidget>

#include <functional>

namespace cantova::ui::qt {

// Moves the window so that its frame lies inside the available area of its screen: centred there
// where it fits, at the area's top or left edge where it does not.
void PlaceInsideScreen(QWidget& window);

// Moves the window as little as it takes to bring its frame inside the available area of its
// screen; at the area's top or left edge where the frame is larger than the area.
void KeepInsideScreen(QWidget& window);

// The largest client size with which the window's frame fits the available area of its screen,
// as far as the frame the window manager draws is known.
QSize AvailableClientSize(const QWidget& window);

// A scroll area without a frame around content of a fixed size: scroll bars show only while the
// window is too small for the content.
QScrollArea* ScrollAreaFor(QWidget& content, QWidget& parent);

// Keeps a window within the available area of its screen: its client gets the size the window
// wants where that fits and less where it does not (its content then scrolls), and the frame is
// placed inside the area. The size is worked out again once the window manager's frame is known.
// A window given a minimum size is resizable down to that minimum, or to what the screen has room
// for where that is less; otherwise its size is fixed.
class ScreenFit final : public QObject {
public:
    ScreenFit(QWidget& window, std::function<QSize()> wantedClientSize,
              std::function<QSize()> minimumClientSize = {});

    // Gives the window its size.
    void fit();
    // Gives the window its size and centres it on the screen.
    void fitAndPlace();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    std::function<QSize()> wanted_;
    std::function<QSize()> minimum_;
    QSize frameExtra_;
    bool centred_ = false;
};

// Sizes a dialog that lays itself out: the size wanted (at least what its layout needs), as far
// as the screen has room, resizable down to the layout's minimum, or to the room there is. Each
// time it opens it is moved as little as needed to lie inside the screen.
void FitDialogToScreen(QWidget& dialog, QSize wanted);

// The client size that gives the window the wanted outer (frame) size, as far as the frame the
// window manager draws is known; never below one pixel.
QSize ClientSizeForOuter(const QWidget& window, QSize outer);

} // namespace cantova::ui::qt
