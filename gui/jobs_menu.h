#pragma once

// The menu bar's Jobs menu, which the form's menus do not include: items for the job list that
// the view adds.

#include <QMainWindow>
#include <QMenu>

namespace cantova::ui::qt {

// The window's "&Jobs" menu; made, before the Help menu, when the window has none yet.
QMenu& JobsMenu(QMainWindow& window);

} // namespace cantova::ui::qt
