#include "gui/jobs_menu.h"

#include <QMenuBar>

namespace cantova::ui::qt {

QMenu& JobsMenu(QMainWindow& window) {
    const QString title = "&Jobs";
    QMenuBar& bar = *window.menuBar();
    QAction* help = nullptr;
    for (QAction* action : bar.actions()) {
        if (action->menu() == nullptr) {
            continue;
        }
        if (action->text() == title) {
            return *action->menu();
        }
        if (action->text() == "&Help") {
            help = action;
        }
    }
    auto* menu = new QMenu(title, &bar);
    bar.insertMenu(help, menu);
    return *menu;
}

} // namespace cantova::ui::qt
