#pragma once

// Qt ends the program with an abort when the platform it is told to use (or the one it picks)
// finds no display. The GUI says instead that no display was found and how to run without one,
// and ends with status 1.

#include <optional>
#include <string>

namespace cantova::ui::qt {

// What tells how to run the GUI without a display, for the messages below.
inline constexpr const char* kWithoutDisplayHint =
    "To run it without a display, use a virtual one (xvfb-run -a cantova-gui) or Qt's offscreen "
    "platform (QT_QPA_PLATFORM=offscreen cantova-gui).";

// Why no window can be shown, judged from the environment before Qt starts: nothing when a
// display (or a platform that needs none) is named. Null pointers are unset variables.
std::optional<std::string> MissingDisplay(const char* platform, const char* x11Display,
                                          const char* waylandDisplay);

// From here on a fatal message of Qt's (a display that cannot be reached) ends the program with
// the hint and status 1 instead of an abort.
void EndWithoutAbortWhenNoDisplay();

// Back to Qt's own handling, once the application has started.
void RestoreFatalHandling();

} // namespace cantova::ui::qt
