#pragma once

// A WAV job from a source that is not AC3 runs with the core group alone: its command carries no
// delay, gain mode, boost, resampling or split, whatever the window says for them. What the window
// can tell its user about it.

#include <string>
#include <vector>

namespace cantova::ui {

class MainWindow;

// True while the window's settings make such a job.
bool OnlyCoreSettingsApply(const MainWindow& window);

// The settings of the window set for such a job that its command leaves out, by their labels in
// the window's order ("Delay", "Gain Mode", "Boost", "Sample Rate", "Split"); empty for any other
// job.
std::vector<std::string> SettingsNotApplied(const MainWindow& window);

} // namespace cantova::ui
