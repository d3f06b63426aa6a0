#include "gui/panel_view.h"

#include "gui/twips.h"
#include "gui/window_keys.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace cantova::ui::qt {

PanelView::PanelView(Window& model, QWidget* owner)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      model_(model), form_(new FormView(model, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollAreaFor(*form_, *this));
    // The form takes the client size that gives the model's outer size with the frame as known
    // now; the window is as large as the screen has room for.
    screenFit_ = new ScreenFit(*this, [this] {
        form_->setFixedSize(ClientSizeForOuter(*this, ToPixels(model_.width(), model_.height())));
        return form_->size();
    });
    subscription_ = model.subscribe([this](WindowChange change) { showWindowChange(change); });
    // The panel has no close command of its own; Escape stands for its Close button.
    if (auto* close = dynamic_cast<Button*>(model.find("CmdCloseAudioPanel"))) {
        AddEscapeKey(*this, *close);
    }
    showWindowChange(WindowChange::Caption);
    screenFit_->fit();
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
        screenFit_->fit();
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
    if (placed_) {
        screenFit_->fit();
    } else {
        screenFit_->fitAndPlace();
        placed_ = true;
    }
    show();
    raise();
    // Keys go to the panel as soon as it opens: Escape closes it at once.
    activateWindow();
}

void PanelView::closeEvent(QCloseEvent* event) {
    event->ignore();
}

} // namespace cantova::ui::qt
