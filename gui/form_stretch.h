#pragma once

// A form laid out in fixed places, grown as a window grows: one control takes the room the form
// view has beyond the form's size, and so do the frames it lies in; in each of them the controls
// below it move down and those right of it move right by that room, the others keep their places.
// Order, captions and tab order stay the form's.

#include "gui/form_view.h"

#include <QObject>
#include <QSize>

#include <string>

namespace cantova::ui::qt {

class FormStretch final : public QObject {
public:
    // control is the qualified name of the control that grows.
    FormStretch(FormView& form, std::string control);

    // The form's own size in logical pixels: the least the view is laid out for.
    QSize formSize() const;
    // Places the controls for the view's size as it is now.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormView& form_;
    std::string control_;
};

} // namespace cantova::ui::qt
