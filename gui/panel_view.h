#pragma once

// The advanced panel on screen: a tool window without minimise, maximise or
// close button that stays above other windows and ignores the window
// manager's close request, so that its own Close button is the only way out.
// Visibility and outer size follow the model, as far as the screen has room
// (its content scrolls where it has not); it is placed inside the screen the
// first time it is shown.

#include "gui/form_view.h"
#include "gui/window_placement.h"
#include "ui/window.h"

#include <QWidget>

namespace cantova::ui::qt {

class PanelView final : public QWidget {
public:
    PanelView(Window& model, QWidget* owner);
    ~PanelView() override;

    FormView& form() const { return *form_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showWindowChange(WindowChange change);
    void showVisibility();

    Window& model_;
    FormView* form_;
    ScreenFit* screenFit_;
    int subscription_ = 0;
    bool placed_ = false;
};

} // namespace cantova::ui::qt
