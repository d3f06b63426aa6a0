#pragma once

// Audio profiles: the settings of both windows in an INI file, the encoder sections chosen by the
// job kind.

#include "ui/job_kind.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::settings {

// The profile of the current window state as the text of a file, the keys in table order; nothing
// when a value cannot be stored.
std::optional<std::string> AudioProfileText(const ui::Windows& windows, ui::JobKind jobKind);

// Writes the profile of the current window state to path, replacing an existing file in one step:
// on failure (false) the old file is left as it was.
bool SaveAudioProfile(const ui::Windows& windows, const std::string& path, ui::JobKind jobKind);

struct AudioProfileLoad {
    // False when the file could not be read: nothing was changed. problem then says why.
    bool readable = false;
    std::string problem;
    // The stored job kind, when it is one.
    std::optional<ui::JobKind> jobKind;
    // "SECTION/KEY" of each expected key that was missing or held a value that is not a decimal
    // number or lies outside its list or check range, or a typed text that would not stay one
    // value of the command line; those controls kept their values.
    std::vector<std::string> skippedKeys;
};

// Applies the profile to both windows, in the order that lets the codec and bit-rate reactions
// reset the panel before the stored values are written back. The file is read once, and only when
// it is a regular file of at most 1 MiB.
AudioProfileLoad LoadAudioProfile(ui::Windows& windows, const std::string& path);

// Applies the profile whose file would hold text, as LoadAudioProfile does.
AudioProfileLoad ApplyAudioProfileText(ui::Windows& windows, std::string text);

} // namespace cantova::settings
