#include "jobs/settings_before_run.h"

#include "ui/settings_copy.h"
#include "ui/windows.h"

namespace cantova::jobs {

SettingsBeforeRun::SettingsBeforeRun(ui::Windows& windows, JobRunner& runner,
                                     ui::MessageBoxes& messages)
    : windows_(windows), runner_(runner), messages_(messages) {
    subscription_ = runner_.observe([this](const RunStateChange& change) {
        if (change.to == RunState::Starting) {
            taken_ = std::make_unique<ui::Windows>(silent_);
            taken_->frmMain.Form_Load();
            ui::CopySettings(windows_, *taken_);
        } else if (change.from == RunState::Starting && change.to == RunState::Idle) {
            // A start that was refused changed nothing.
            taken_.reset();
        }
        tell();
    });
}

SettingsBeforeRun::~SettingsBeforeRun() {
    runner_.unobserve(subscription_);
}

bool SettingsBeforeRun::available() const {
    return taken_ != nullptr && runner_.state() == RunState::Idle;
}

void SettingsBeforeRun::Restore() {
    if (!available()) {
        messages_.Show("No run has changed the settings since they were last put back.", "Error",
                       ui::MessageIcon::Exclamation);
        return;
    }
    ui::CopySettings(*taken_, windows_);
    taken_.reset();
    tell();
}

int SettingsBeforeRun::onChange(std::function<void()> changed) {
    changed_.emplace_back(nextId_, std::move(changed));
    return nextId_++;
}

void SettingsBeforeRun::stopTelling(int id) {
    std::erase_if(changed_, [id](const auto& entry) { return entry.first == id; });
}

void SettingsBeforeRun::tell() {
    const auto changed = changed_;
    for (const auto& [id, tellOne] : changed) {
        tellOne();
    }
}

} // namespace cantova::jobs
