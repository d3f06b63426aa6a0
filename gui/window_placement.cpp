#include "gui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace cantova::ui::qt {

namespace {

QSize FrameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}

const QScreen* ScreenOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// The start of a span of the given length inside [first, first + room): centred where it fits.
int PlaceSpan(int first, int room, int length) {
    return first + std::max(0, (room - length) / 2);
}

} // namespace

void PlaceInsideScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return;
    }
    const QSize outer = window.size() + FrameExtra(window);
    const QRect area = screen->availableGeometry();
    // move() places the frame's top-left corner.
    window.move(PlaceSpan(area.left(), area.width(), outer.width()),
                PlaceSpan(area.top(), area.height(), outer.height()));
}

void KeepInsideScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return;
    }
    const QSize outer = window.size() + FrameExtra(window);
    const QRect area = screen->availableGeometry();
    const QPoint at = window.pos();
    window.move(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())),
                std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
}

QSize AvailableClientSize(const QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    }
    return (screen->availableGeometry().size() - FrameExtra(window)).expandedTo(QSize(1, 1));
}

QScrollArea* ScrollAreaFor(QWidget& content, QWidget& parent) {
    auto* area = new QScrollArea(&parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(&content);
    return area;
}

ScreenFit::ScreenFit(QWidget& window, std::function<QSize()> wantedClientSize,
                     std::function<QSize()> minimumClientSize)
    : QObject(&window), window_(window), wanted_(std::move(wantedClientSize)),
      minimum_(std::move(minimumClientSize)) {
    window_.installEventFilter(this);
}

void ScreenFit::fit() {
    frameExtra_ = FrameExtra(window_);
    const QSize room = AvailableClientSize(window_);
    if (!minimum_) {
        window_.setFixedSize(wanted_().boundedTo(room));
        return;
    }
    const QSize minimum = minimum_().boundedTo(room);
    window_.setMinimumSize(minimum);
    window_.resize(wanted_().expandedTo(minimum).boundedTo(room));
}

void ScreenFit::fitAndPlace() {
    fit();
    PlaceInsideScreen(window_);
    centred_ = true;
}

bool ScreenFit::eventFilter(QObject* /*watched*/, QEvent* event) {
    // The window manager's frame becomes known only after the window is mapped.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Show) &&
        FrameExtra(window_) != frameExtra_) {
        fit();
        if (centred_) {
            PlaceInsideScreen(window_);
        } else {
            KeepInsideScreen(window_);
        }
    }
    return false;
}

void FitDialogToScreen(QWidget& dialog, QSize wanted) {
    auto* fit = new ScreenFit(
        dialog, [&dialog, wanted] { return wanted.expandedTo(dialog.minimumSizeHint()); },
        [&dialog] { return dialog.minimumSizeHint(); });
    fit->fit();
    // A dialog opens where its owner is; the screen's edge comes first.
    class OnShow final : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                KeepInsideScreen(*static_cast<QWidget*>(watched));
            }
            return false;
        }
    };
    dialog.installEventFilter(new OnShow(&dialog));
}

QSize ClientSizeForOuter(const QWidget& window, QSize outer) {
    return (outer - FrameExtra(window)).expandedTo(QSize(1, 1));
}

} // namespace cantova::ui::qt
