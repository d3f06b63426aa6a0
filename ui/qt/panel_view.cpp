#include "ui/qt/panel_view.h"

#include "ui/qt/twips.h"
#include "ui/qt/window_placement.h"

#include <QCloseEvent>

namespace cantova::ui::qt {

PanelView::PanelView(Window& model, QWidget* owner)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      model_(model), form_(new FormView(model, this)) {
    subscription_ = model.subscribe([this](WindowChange change) { showWindowChange(change); });
    showWindowChange(WindowChange::Caption);
    applyOuterSize();
    showVisibility();
}

PanelView::~PanelView() {
    model_.unsubscribe(subscription_);
}

void PanelView::showWindowChange(WindowChange change) {
    switch (change) {
    case WindowChange::Caption:
        setWindowTitle(QString::fromStdString(model_.caption()));
        return;
    case WindowChange::Size:
        applyOuterSize();
        return;
    case WindowChange::Visible:
        showVisibility();
        return;
    }
}

void PanelView::showVisibility() {
    if (!model_.visible()) {
        hide();
        return;
    }
    applyOuterSize();
    if (!placed_) {
        CentreOnScreen(*this);
        placed_ = true;
    }
    show();
    raise();
}

void PanelView::applyOuterSize() {
    frameExtra_ = frameGeometry().size() - geometry().size();
    const QSize client = ClientSizeForOuter(*this, ToPixels(model_.width(), model_.height()));
    setFixedSize(client);
    form_->setGeometry(0, 0, client.width(), client.height());
}

void PanelView::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void PanelView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager's frame becomes known only after the window is mapped.
    if (frameGeometry().size() - geometry().size() != frameExtra_) {
        applyOuterSize();
    }
}

} // namespace cantova::ui::qt
