#include "gui/menu_binding.h"

#include "gui/access_keys.h"

namespace cantova::ui::qt {

MenuBinding::MenuBinding(Button& item, QAction& action) : ControlBinding(item), action_(action) {
    QObject::connect(&action_, &QAction::triggered, &action_, [&item] { item.press(); });
    start();
}

void MenuBinding::showChange(ControlChange change) {
    switch (change) {
    case ControlChange::Enabled:
        action_.setEnabled(control().enabled());
        return;
    case ControlChange::Visible:
        action_.setVisible(control().visible());
        return;
    case ControlChange::Caption:
        action_.setText(MenuTextWithAccessKey(control().caption()));
        return;
    default:
        return;
    }
}

} // namespace cantova::ui::qt
