#pragma once

// Access keys of the menus on screen. The models' menu captions carry none, so that Alt and a
// letter would reach the focused field instead of opening the menu; the view adds them.

#include <QString>

#include <string>

namespace cantova::ui::qt {

// The caption with its access key marked by "&"; captions without one are returned as they are.
QString MenuTextWithAccessKey(const std::string& caption);

} // namespace cantova::ui::qt
