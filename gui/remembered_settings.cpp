#include "gui/remembered_settings.h"

#include "settings/audio_profile.h"
#include "settings/paths.h"

#include <filesystem>
#include <system_error>

namespace cantova::ui::qt {

RememberedSettings::RememberedSettings(Windows& windows, jobs::SettingsBeforeRun& beforeRun,
                                       std::string file)
    : windows_(windows), beforeRun_(beforeRun), file_(std::move(file)),
      defaults_(settings::AudioProfileText(windows, JobKindOf(windows.frmMain))) {
    std::error_code error;
    if (!std::filesystem::exists(file_, error)) {
        return;
    }
    // An unreadable file changes nothing; a value that cannot be used keeps its control's.
    settings::LoadAudioProfile(windows_, file_);
}

bool RememberedSettings::save() {
    if (beforeRun_.available()) {
        beforeRun_.Restore();
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), error);
    return settings::SaveAudioProfile(windows_, file_, JobKindOf(windows_.frmMain));
}

void RememberedSettings::restoreDefaults() {
    if (defaults_) {
        settings::ApplyAudioProfileText(windows_, *defaults_);
    }
}

std::string RememberedSettings::DefaultFile() {
    return settings::ConfigFolder() + "/last-settings.aud";
}

} // namespace cantova::ui::qt
