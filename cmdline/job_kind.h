#pragma once

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// 0..6 from the target choice and whether the AC3 target is enabled; 0 when nothing matches.
int JobKind(const ui::Windows& windows);

} // namespace cantova::cmdline
