#include "gui/window_keys.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QShortcut>

namespace cantova::ui::qt {

void AddJobListDeleteKey(QWidget& window, MainWindow& model) {
    auto* shortcut = new QShortcut(QKeySequence::Delete, &window);
    shortcut->setContext(Qt::WindowShortcut);
    // Text fields take Delete themselves before a shortcut sees it; the job list is the window's
    // only list a person can focus.
    QObject::connect(shortcut, &QShortcut::activated, &window, [&model] {
        if (qobject_cast<QAbstractItemView*>(QApplication::focusWidget()) != nullptr &&
            model.LstJobAudio(0).listIndex() >= 0) {
            model.CmdDelAudioJobList.press();
        }
    });
}

void AddEscapeKey(QWidget& window, Button& close) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, [&close] { close.press(); });
}

} // namespace cantova::ui::qt
