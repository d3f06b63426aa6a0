#include "gui/main_window_view.h"

#include "gui/twips.h"
#include "gui/window_keys.h"
#include "gui/window_placement.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>

#include <map>

namespace cantova::ui::qt {

MainWindowView::MainWindowView(MainWindow& model, QWidget* parent,
                               const BindingFactories& factories)
    : QMainWindow(parent), model_(model), form_(new FormView(model, this, factories)) {
    const FormTable& row = model.form();
    form_->setFixedSize(ToPixels(row.clientWidth, row.clientHeight));
    setCentralWidget(ScrollAreaFor(*form_, *this));
    buildMenus();
    // The whole form between the menu bar and the status bar (where there is one), as far as the
    // screen has room for it.
    screenFit_ = new ScreenFit(*this, [this] {
        const auto* status = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        const int statusHeight = status != nullptr ? status->sizeHint().height() : 0;
        return form_->size() + QSize(0, menuBar()->sizeHint().height() + statusHeight);
    });
    AddJobListDeleteKey(*this, model);

    // The client area is fixed by the form, so a model size change has nothing to show.
    subscription_ = model.subscribe([this](WindowChange change) { showWindowChange(change); });
    showWindowChange(WindowChange::Caption);
    showVisibility();
}

MainWindowView::~MainWindowView() {
    model_.unsubscribe(subscription_);
}

void MainWindowView::buildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const ControlRow& row : model_.form().controls) {
        if (row.kind != ControlKind::Menu) {
            continue;
        }
        auto* item = dynamic_cast<Button*>(model_.find(row.name));
        if (item == nullptr) {
            continue;
        }
        QAction* action = nullptr;
        if (row.container.empty()) {
            QMenu* menu = menuBar()->addMenu(QString());
            menus[row.name] = menu;
            action = menu->menuAction();
        } else if (auto it = menus.find(row.container); it != menus.end()) {
            action = it->second->addAction(QString());
        } else {
            continue;
        }
        menus_.push_back(std::make_unique<MenuBinding>(*item, *action));
    }
}

void MainWindowView::showWindowChange(WindowChange change) {
    switch (change) {
    case WindowChange::Caption:
        setWindowTitle(QString::fromStdString(model_.caption()));
        return;
    case WindowChange::Visible:
        showVisibility();
        if (!model_.visible()) {
            emit modelHidden();
        }
        return;
    case WindowChange::Size:
        return;
    }
}

void MainWindowView::showVisibility() {
    if (!model_.visible()) {
        hide();
        return;
    }
    if (!placed_) {
        screenFit_->fitAndPlace();
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    if (model_.visible()) {
        if (!model_.Form_QueryUnload()) {
            // A run is still going; when asked to stop, the model unloads itself afterwards.
            event->ignore();
            return;
        }
        model_.Form_Unload();
    }
    event->accept();
}

} // namespace cantova::ui::qt
