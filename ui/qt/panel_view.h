#pragma once

// The advanced panel on screen: a tool window without minimise, maximise or
// close button that stays above other windows and ignores the window
// manager's close request, so that its own Close button is the only way out.
// Visibility and outer size follow the model; it is centred the first time
// it is shown.

#include "ui/qt/form_view.h"
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
    void moveEvent(QMoveEvent* event) override;

private:
    void showWindowChange(WindowChange change);
    void showVisibility();
    // Sets the client size so that the frame comes as close to the model's outer size as the
    // window manager allows.
    void applyOuterSize();

    Window& model_;
    FormView* form_;
    int subscription_ = 0;
    bool placed_ = false;
    QSize frameExtra_;
};

} // namespace cantova::ui::qt
