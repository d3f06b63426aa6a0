#pragma once

// Form geometry is kept in twips; the views place widgets in logical pixels.
// 1440 twips an inch at 96 logical dpi gives 15 twips a pixel; Qt itself
// scales logical pixels for high-dpi screens.

#include "ui/control.h"

#include <QRect>
#include <QSize>

namespace cantova::ui::qt {

inline constexpr int TwipsPerPixel = 15;

// Rounds to the nearest pixel.
int ToPixels(int twips);
int ToTwips(int pixels);
QRect ToPixels(const Geometry& geometry);
QSize ToPixels(int widthTwips, int heightTwips);

} // namespace cantova::ui::qt
