#pragma once

// Keys that act on a window as a person expects of a desktop window.

#include "ui/control.h"
#include "ui/main_window.h"

#include <QWidget>

namespace cantova::ui::qt {

// Delete in the job list deletes the selected job, as the window's Delete button does (so not
// during a run, when that button is locked). Keys of other fields stay theirs.
void AddJobListDeleteKey(QWidget& window, MainWindow& model);

// Escape in the window presses its button close, as a dialog's Escape does.
void AddEscapeKey(QWidget& window, Button& close);

} // namespace cantova::ui::qt
