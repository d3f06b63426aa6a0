#pragma once

// The main window on screen: the form's controls as the client area, the menu bar from the
// form's menu rows, caption and visibility from the model. The window is resizable down to the
// whole form (less where the screen has no room for it: the form then scrolls); the job list
// takes the room beyond it, and opens with room for eight jobs where the screen has it. Closing
// the window unloads the model's main window.

#include "gui/form_view.h"
#include "gui/menu_binding.h"
#include "gui/window_placement.h"
#include "ui/main_window.h"

#include <QMainWindow>

#include <memory>
#include <vector>

namespace cantova::ui::qt {

class MainWindowView final : public QMainWindow {
    Q_OBJECT

public:
    // factories replace the generic bindings of the controls they name.
    explicit MainWindowView(MainWindow& model, QWidget* parent = nullptr,
                            const BindingFactories& factories = {});
    ~MainWindowView() override;

    FormView& form() const { return *form_; }

signals:
    // The model hid its main window: it has been unloaded.
    void modelHidden();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void showWindowChange(WindowChange change);
    void showVisibility();

    MainWindow& model_;
    FormView* form_;
    ScreenFit* screenFit_;
    std::vector<std::unique_ptr<MenuBinding>> menus_;
    int subscription_ = 0;
    bool placed_ = false;
};

} // namespace cantova::ui::qt
