#pragma once

// Once at start-up the GUI tells which engines of the transcoder are missing and which packages
// hold them, in a message that takes no input from the windows: jobs that need none of them
// still run.

class QWidget;

namespace cantova::ui::qt {

// Shows the notice beside owner when an engine is not on searchPath (a PATH value, null when
// unset); nothing otherwise.
void ShowMissingEngines(QWidget* owner, const char* searchPath);

} // namespace cantova::ui::qt
