#pragma once

// A menu or menu item of the form shown as a Qt action: pressing it presses the model's item.

#include "gui/control_binding.h"

#include <QAction>

namespace cantova::ui::qt {

class MenuBinding final : public ControlBinding {
public:
    MenuBinding(Button& item, QAction& action);

private:
    QObject* signalSource() const override { return &action_; }
    void showChange(ControlChange change) override;

    QAction& action_;
};

} // namespace cantova::ui::qt
