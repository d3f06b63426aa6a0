#include "ui/qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace cantova::ui::qt {

namespace {

QSize FrameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}

} // namespace

void CentreOnScreen(QWidget& window) {
    QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QSize outer = window.size() + FrameExtra(window);
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

QSize ClientSizeForOuter(const QWidget& window, QSize outer) {
    return (outer - FrameExtra(window)).expandedTo(QSize(1, 1));
}

} // namespace cantova::ui::qt
