#pragma once

// A message too long for the screen: the box shows its first lines, as many as leave room for
// the list under "Show Details...", which holds the whole text and scrolls, so that the box and
// its buttons stay on the screen.

#include <QMessageBox>

namespace cantova::ui::qt {

void FitMessageToScreen(QMessageBox& box);

} // namespace cantova::ui::qt
