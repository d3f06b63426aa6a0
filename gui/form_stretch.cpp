#include "gui/form_stretch.h"

#include "gui/twips.h"

#include <QEvent>

namespace cantova::ui::qt {

FormStretch::FormStretch(FormView& form, std::string control)
    : QObject(&form), form_(form), control_(std::move(control)) {
    form_.installEventFilter(this);
}

QSize FormStretch::formSize() const {
    const FormTable& table = form_.window().form();
    return ToPixels(table.clientWidth, table.clientHeight);
}

void FormStretch::apply() {
    const QSize room = (form_.size() - formSize()).expandedTo(QSize(0, 0));
    const Window& window = form_.window();
    for (const Control* grown = window.find(control_); grown != nullptr;
         grown = grown->container().empty() ? nullptr : window.find(grown->container())) {
        const Geometry& place = grown->geometry();
        for (const Control* other : window.controls()) {
            QWidget* widget = other != nullptr ? form_.widgetOf(other->qualifiedName()) : nullptr;
            if (widget == nullptr || other->container() != grown->container()) {
                continue;
            }
            QRect rect = ToPixels(other->geometry());
            if (other == grown) {
                rect.setSize(rect.size() + room);
            } else {
                const Geometry& at = other->geometry();
                rect.translate(at.left >= place.left + place.width ? room.width() : 0,
                               at.top >= place.top + place.height ? room.height() : 0);
            }
            widget->setGeometry(rect);
        }
    }
}

bool FormStretch::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        apply();
    }
    return false;
}

} // namespace cantova::ui::qt
