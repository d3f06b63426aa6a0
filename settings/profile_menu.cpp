// The "Profils" menu of the main window: saving and loading audio profiles.

#include "settings/profile_menu.h"

#include "settings/audio_profile.h"
#include "ui/windows.h"

namespace cantova::settings {

using ui::MessageIcon;

namespace {

constexpr const char* kProfileDialogTitle = "Choose Audio Profil File";
constexpr const char* kProfileDialogFilter = "Audio Profil File (*.aud)|*.aud";

bool EndsWithAud(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".aud") == 0;
}

std::string JoinedKeys(const std::vector<std::string>& keys) {
    std::string joined;
    for (const std::string& key : keys) {
        joined += (joined.empty() ? "" : ", ") + key;
    }
    return joined;
}

} // namespace

void ProfileMenu::Save() {
    dialogs_.ShowSaveDialog(kProfileDialogFilter, kProfileDialogTitle, "",
                            [this](const std::string& path) { saveTo(path); });
}

void ProfileMenu::saveTo(std::string path) {
    if (path.empty()) {
        return;
    }
    if (!EndsWithAud(path)) {
        path += ".aud";
    }
    if (!SaveAudioProfile(windows_, path, ui::JobKindOf(windows_.frmMain))) {
        messages_.Show("The profile could not be saved to " + path +
                           "; a profile that was there is left as it was.",
                       "Error", MessageIcon::Exclamation);
    }
}

void ProfileMenu::Load() {
    dialogs_.ShowOpenDialog(kProfileDialogFilter, kProfileDialogTitle, "",
                            [this](const std::string& path) { loadFrom(path); });
}

void ProfileMenu::loadFrom(const std::string& path) {
    if (path.empty()) {
        return;
    }
    ui::MessageBoxes& messages = messages_;
    if (!EndsWithAud(path)) {
        messages.Show("Nothing was loaded: " + path +
                          " is not a profile, whose names end in \".aud\".",
                      "Error", MessageIcon::Exclamation);
        return;
    }
    const AudioProfileLoad load = LoadAudioProfile(windows_, path);
    if (!load.readable) {
        messages.Show("Nothing was loaded: the profile " + path + " could not be read, " +
                          load.problem + ".",
                      "Error", MessageIcon::Exclamation);
    } else if (!load.skippedKeys.empty()) {
        messages.Show(
            "These settings of the profile " + path +
                " were missing or invalid and kept their values: " + JoinedKeys(load.skippedKeys),
            "Error", MessageIcon::Exclamation);
    }
}

} // namespace cantova::settings
