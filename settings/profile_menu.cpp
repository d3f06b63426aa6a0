// The "Profils" menu of the main window: saving and loading audio profiles.

#include "settings/audio_profile.h"
#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

namespace {

constexpr const char* kProfileDialogTitle = "Choose Audio Profil File";
constexpr const char* kProfileDialogFilter = "Audio Profil File (*.aud)|*.aud";

bool EndsWithAud(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".aud") == 0;
}

// The job kind of the current target, the AC3 choice's enabled state splitting the kinds.
int CurrentJobKind(const MainWindow& window) {
    const int chosen = window.OptAudioCodec.chosen();
    if (window.OptAudioCodec[0].enabled()) {
        switch (chosen) {
        case 0:
            return 3;
        case 1:
            return 1;
        case 2:
            return 2;
        case 3:
            return 5;
        default:
            return 0;
        }
    }
    switch (chosen) {
    case 2:
        return 4;
    case 3:
        return 6;
    default:
        return 0;
    }
}

std::string JoinedKeys(const std::vector<std::string>& keys) {
    std::string joined;
    for (const std::string& key : keys) {
        joined += (joined.empty() ? "" : ", ") + key;
    }
    return joined;
}

} // namespace

void MainWindow::MenuPrfAudioSave_Click() {
    std::string path =
        windows_.services.dialogs.ShowSaveDialog(kProfileDialogFilter, kProfileDialogTitle, "");
    if (path.empty()) {
        return;
    }
    if (!EndsWithAud(path)) {
        path += ".aud";
    }
    if (!settings::SaveAudioProfile(windows_, path, CurrentJobKind(*this))) {
        windows_.services.messages.Show("The profile could not be saved to " + path +
                                            "; a profile that was there is left as it was.",
                                        "Error", MessageIcon::Exclamation);
    }
}

void MainWindow::MenuPrfAudioLoad_Click() {
    const std::string path =
        windows_.services.dialogs.ShowOpenDialog(kProfileDialogFilter, kProfileDialogTitle, "");
    if (path.empty()) {
        return;
    }
    MessageBoxes& messages = windows_.services.messages;
    if (!EndsWithAud(path)) {
        messages.Show("Nothing was loaded: " + path +
                          " is not a profile, whose names end in \".aud\".",
                      "Error", MessageIcon::Exclamation);
        return;
    }
    const settings::AudioProfileLoad load = settings::LoadAudioProfile(windows_, path);
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

} // namespace cantova::ui
