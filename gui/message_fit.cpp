#include "gui/message_fit.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace cantova::ui::qt {

namespace {

// Room kept for the window manager's frame and for the details list once it is shown.
constexpr int kFrameAllowance = 64;
constexpr int kDetailsAllowance = 200;

} // namespace

void FitMessageToScreen(QMessageBox& box) {
    const QScreen* screen =
        box.screen() != nullptr ? box.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const int room = screen->availableGeometry().height() - kFrameAllowance;
    const int spare = room - box.sizeHint().height();
    if (spare >= 0) {
        return;
    }
    const QString whole = box.text();
    const QStringList lines = whole.split('\n');
    // The lines that go, and one for the remark that says where they are.
    const int lineHeight = box.fontMetrics().lineSpacing();
    const int dropped = (-spare + kDetailsAllowance + lineHeight - 1) / lineHeight + 1;
    const int kept = std::max<int>(1, static_cast<int>(lines.size()) - dropped);
    box.setText(lines.mid(0, kept).join('\n') +
                QMessageBox::tr("\n(%n more line(s) under Show Details...)", nullptr,
                                static_cast<int>(lines.size()) - kept));
    box.setDetailedText(whole);
}

} // namespace cantova::ui::qt
