#pragma once

// The window's settings kept from one session of the GUI to the next: saved as an audio profile
// in the folder of the user's settings when the GUI ends, loaded when it starts. The settings the
// windows had at start, before that load, can be brought back ("Default Settings").

#include "jobs/settings_before_run.h"
#include "ui/windows.h"

#include <optional>
#include <string>

namespace cantova::ui::qt {

class RememberedSettings {
public:
    // Takes the windows' settings as the defaults, then loads those kept in file when it is
    // there; a file that cannot be read changes nothing, a value that cannot be used keeps the
    // control's default.
    RememberedSettings(Windows& windows, jobs::SettingsBeforeRun& beforeRun, std::string file);

    // Keeps the user's settings (those a run replaced with its last job's, where it did) for the
    // next start, replacing the file in one step and creating its folder; false when it could not.
    bool save();
    // Brings back the settings the windows had at start.
    void restoreDefaults();

    const std::string& file() const { return file_; }

    // The file in the folder of the user's settings.
    static std::string DefaultFile();

private:
    Windows& windows_;
    jobs::SettingsBeforeRun& beforeRun_;
    std::string file_;
    std::optional<std::string> defaults_;
};

} // namespace cantova::ui::qt
