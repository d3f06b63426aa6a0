#pragma once

// Form geometry is kept in twips; the views place widgets in logical pixels, at the scale of the
// forms (gui/form_scale.h). Qt itself scales logical pixels for high-dpi screens.

#include "ui/control.h"

#include <QRect>
#include <QSize>

namespace cantova::ui::qt {

// Rounds to the nearest pixel.
int ToPixels(int twips);
// The edges are rounded, so that controls that meet in twips meet on screen.
QRect ToPixels(const Geometry& geometry);
QSize ToPixels(int widthTwips, int heightTwips);

} // namespace cantova::ui::qt
