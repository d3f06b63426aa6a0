#include "gui/control_binding.h"

#include "gui/twips.h"

#include <QSignalBlocker>

namespace cantova::ui::qt {

ControlBinding::ControlBinding(Control& control) : control_(control) {}

ControlBinding::~ControlBinding() {
    if (subscription_ != 0) {
        control_.unsubscribe(subscription_);
    }
}

void ControlBinding::start() {
    subscription_ = control_.subscribe([this](ControlChange change) { refresh(change); });
    for (ControlChange change : {ControlChange::Items, ControlChange::Value, ControlChange::Caption,
                                 ControlChange::Geometry, ControlChange::Border,
                                 ControlChange::Enabled, ControlChange::Visible}) {
        refresh(change);
    }
}

void ControlBinding::userAction(const std::function<void()>& assignment) {
    assignment();
    refresh(ControlChange::Value);
}

void ControlBinding::refresh(ControlChange change) {
    const QSignalBlocker blocker(signalSource());
    showChange(change);
}

WidgetBinding::WidgetBinding(Control& control, QWidget& widget)
    : ControlBinding(control), widget_(widget) {}

void WidgetBinding::showChange(ControlChange change) {
    switch (change) {
    case ControlChange::Value:
        showValue();
        return;
    case ControlChange::Items:
        showItems();
        return;
    case ControlChange::Enabled:
        widget_.setEnabled(control().enabled());
        return;
    case ControlChange::Visible:
        widget_.setVisible(control().visible());
        return;
    case ControlChange::Caption:
        showCaption();
        return;
    case ControlChange::Geometry:
        widget_.setGeometry(ToPixels(control().geometry()));
        return;
    case ControlChange::Border:
        showBorder();
        return;
    }
}

} // namespace cantova::ui::qt
