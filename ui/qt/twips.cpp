#include "ui/qt/twips.h"

#include <cmath>

namespace cantova::ui::qt {

int ToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel));
}

int ToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

QRect ToPixels(const Geometry& geometry) {
    return {ToPixels(geometry.left), ToPixels(geometry.top), ToPixels(geometry.width),
            ToPixels(geometry.height)};
}

QSize ToPixels(int widthTwips, int heightTwips) {
    return {ToPixels(widthTwips), ToPixels(heightTwips)};
}

} // namespace cantova::ui::qt
