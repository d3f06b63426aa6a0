#pragma once

// Audio profiles: the settings of both windows in an INI file, the encoder sections chosen by the
// job kind.

#include <string>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::settings {

// Writes the profile of the current window state (the file is deleted first, the keys follow in
// table order). False when the old file could not be removed or any key could not be written.
bool SaveAudioProfile(const ui::Windows& windows, const std::string& path, int jobKind);

struct AudioProfileLoad {
    // False when the file could not be read: nothing was changed.
    bool readable = false;
    // "SECTION/KEY" of each expected key that was missing or held a value that is not a decimal
    // number or lies outside its list or check range; those controls kept their values.
    std::vector<std::string> skippedKeys;
};

// Applies the profile to both windows, in the order that lets the codec and bit-rate reactions
// reset the panel before the stored values are written back.
AudioProfileLoad LoadAudioProfile(ui::Windows& windows, const std::string& path);

} // namespace cantova::settings
