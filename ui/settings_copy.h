#pragma once

// The settings of one set of windows taken over by another, as a restore of a saved state: every
// value, list, text, caption and enabled state of the controls, and the values the program keeps
// about the source. No reaction runs; views learn of every change. The job lists, frames, menus,
// window geometry and visibility stay as they are.

namespace cantova::ui {

struct Windows;

void CopySettings(const Windows& from, Windows& to);

} // namespace cantova::ui
