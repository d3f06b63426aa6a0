#pragma once

// The settings the windows had when a run was started. A run leaves the windows showing the last
// job's settings (each job's are restored into them as it starts); these can be put back.

#include "jobs/job_runner.h"
#include "ui/message_boxes.h"

#include <functional>
#include <memory>
#include <vector>

namespace cantova::ui {
struct Windows;
}

namespace cantova::jobs {

class SettingsBeforeRun {
public:
    SettingsBeforeRun(ui::Windows& windows, JobRunner& runner, ui::MessageBoxes& messages);
    ~SettingsBeforeRun();
    SettingsBeforeRun(const SettingsBeforeRun&) = delete;
    SettingsBeforeRun& operator=(const SettingsBeforeRun&) = delete;

    // Whether a run has ended since the settings were taken, and they have not been put back.
    bool available() const;
    // Puts the settings back into the windows; says so when there are none.
    void Restore();
    // Views learn when available() may have changed (a run ended, the settings were put back);
    // the returned id stops it.
    int onChange(std::function<void()> changed);
    void stopTelling(int id);

private:
    void tell();

    ui::Windows& windows_;
    JobRunner& runner_;
    ui::MessageBoxes& messages_;
    ui::SilentMessageBoxes silent_;
    // The windows' settings when the last run started.
    std::unique_ptr<ui::Windows> taken_;
    std::vector<std::pair<int, std::function<void()>>> changed_;
    int nextId_ = 1;
    int subscription_ = 0;
};

} // namespace cantova::jobs
