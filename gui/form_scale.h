#pragma once

// How large the forms are drawn. Their geometry is in twips, 1/1440 of an inch, laid out for a
// narrow 8.25 pt face and slim controls; the face and the style at hand may need more room for the
// same texts. The forms are drawn at the screen's logical resolution, so that text and controls
// grow together, and, where the texts need it, larger by the one factor that makes every caption
// and list item of both forms fit its control.

#include "ui/form.h"

#include <QFont>
#include <QStyle>

namespace cantova::ui::qt {

// The face of the forms: the application's at 8.25 pt, in its semi-condensed cut where the system
// has one.
QFont FormFont();

// The smallest factor, at least 1, by which the form's controls must grow beyond pixelsPerTwip so
// that each caption and list item fits the room the style gives its text.
double TextFitFactor(const FormTable& form, const QFont& font, const QStyle& style,
                     double pixelsPerTwip);

// Logical pixels per twip for both forms: the screen's logical resolution, times the text fit
// factor of the form that needs the larger one. Worked out once, when first asked.
double FormPixelsPerTwip();

} // namespace cantova::ui::qt
