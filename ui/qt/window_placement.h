#pragma once

// Placement of top-level windows on the screen.

#include <QSize>
#include <QWidget>

namespace cantova::ui::qt {

// Centres the window's frame on the available area of its screen.
void CentreOnScreen(QWidget& window);

// The client size that gives the window the wanted outer (frame) size, as far
// as the frame the window manager draws is known; never below one pixel.
QSize ClientSizeForOuter(const QWidget& window, QSize outer);

} // namespace cantova::ui::qt
