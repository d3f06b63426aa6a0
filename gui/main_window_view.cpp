#include "gui/main_window_view.h"

#include "gui/form_stretch.h"
#include "gui/not_applied_note.h"
#include "gui/twips.h"
#include "gui/window_keys.h"
#include "gui/window_placement.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeView>

#include <algorithm>
#include <map>

namespace cantova::ui::qt {

namespace {

// The list that takes the window's extra room, and the rows it shows at least: where the screen
// is too low for the form with them, the form scrolls rather than the list.
constexpr const char* kGrowingList = "LstJobAudio(0)";
constexpr int kShownRows = 8;

// The height by which the form's list must grow to show the rows given without scrolling.
int RoomForRows(const FormView& form, const std::string& list, int rows) {
    const auto* view = qobject_cast<const QTreeView*>(form.widgetOf(list));
    const Control* control = form.window().find(list);
    if (view == nullptr || control == nullptr) {
        return 0;
    }
    QStyleOptionViewItem item;
    item.initFrom(view);
    item.features = QStyleOptionViewItem::HasDisplay;
    item.text = QStringLiteral("Xg");
    const int rowHeight = std::max(
        view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), view).height(),
        view->fontMetrics().height());
    const int needed =
        view->header()->sizeHint().height() + rows * rowHeight + 2 * view->frameWidth();
    return std::max(0, needed - ToPixels(control->geometry()).height());
}

// The size with room for the scroll bar the form needs where the screen is too low (or too narrow)
// for it, so that the form does not scroll the other way as well.
QSize WithScrollBar(const QWidget& window, QSize size) {
    const QSize room = AvailableClientSize(window);
    const int bar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    return size +
           QSize(size.height() > room.height() ? bar : 0, size.width() > room.width() ? bar : 0);
}

} // namespace

MainWindowView::MainWindowView(MainWindow& model, QWidget* parent,
                               const BindingFactories& factories)
    : QMainWindow(parent), model_(model), form_(new FormView(model, this, factories)) {
    auto* stretch = new FormStretch(*form_, kGrowingList);
    new NotAppliedNote(*form_, model);
    form_->setMinimumSize(stretch->formSize());
    QScrollArea* scroll = ScrollAreaFor(*form_, *this);
    scroll->setWidgetResizable(true);
    setCentralWidget(scroll);
    buildMenus();
    // At least the whole form between the menu bar and the status bar (where there is one), with
    // room for more rows of the job list at first, as far as the screen has room for it.
    const auto formWithBars = [this, stretch] {
        const auto* status = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        const int statusHeight = status != nullptr ? status->sizeHint().height() : 0;
        return stretch->formSize() + QSize(0, menuBar()->sizeHint().height() + statusHeight);
    };
    screenFit_ = new ScreenFit(
        *this,
        [this, stretch, formWithBars] {
            // Taken when the window is fitted, with the fonts and style it shows with.
            const int rows = RoomForRows(*form_, kGrowingList, kShownRows);
            form_->setMinimumSize(stretch->formSize() + QSize(0, rows));
            return WithScrollBar(*this, formWithBars() + QSize(0, rows));
        },
        [this, formWithBars] {
            // As wide as the form with the scroll bar it needs where the rows make it scroll.
            const QSize least = WithScrollBar(*this, formWithBars());
            const int rows = RoomForRows(*form_, kGrowingList, kShownRows);
            return QSize(WithScrollBar(*this, formWithBars() + QSize(0, rows)).width(),
                         least.height());
        });
    AddJobListDeleteKey(*this, model);

    // The window's size is the user's, so a model size change has nothing to show.
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
            menu->setObjectName(QString::fromStdString(row.name));
            menus[row.name] = menu;
            action = menu->menuAction();
        } else if (auto it = menus.find(row.container); it != menus.end()) {
            action = it->second->addAction(QString());
            action->setObjectName(QString::fromStdString(row.name));
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
            // A question is open or a run stops first; the model unloads itself afterwards.
            event->ignore();
            return;
        }
        model_.Form_Unload();
    }
    event->accept();
}

} // namespace cantova::ui::qt
