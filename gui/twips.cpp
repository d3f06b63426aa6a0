#include "gui/twips.h"

#include "gui/form_scale.h"

#include <cmath>

namespace cantova::ui::qt {

int ToPixels(int twips) {
    return static_cast<int>(std::lround(twips * FormPixelsPerTwip()));
}

QRect ToPixels(const Geometry& geometry) {
    const int left = ToPixels(geometry.left);
    const int top = ToPixels(geometry.top);
    return {left, top, ToPixels(geometry.left + geometry.width) - left,
            ToPixels(geometry.top + geometry.height) - top};
}

QSize ToPixels(int widthTwips, int heightTwips) {
    return {ToPixels(widthTwips), ToPixels(heightTwips)};
}

} // namespace cantova::ui::qt
