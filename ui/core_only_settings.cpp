#include "ui/core_only_settings.h"

#include "ui/gain_modes.h"
#include "ui/job_kind.h"
#include "ui/main_window.h"

namespace cantova::ui {

bool OnlyCoreSettingsApply(const MainWindow& window) {
    return JobKindOf(window) == JobKind::Wav;
}

std::vector<std::string> SettingsNotApplied(const MainWindow& window) {
    if (!OnlyCoreSettingsApply(window)) {
        return {};
    }
    std::vector<std::string> labels;
    const std::string delay = window.TxtDelay.text();
    if (window.ChkAutoDelay.value() == 1 || delay.find_first_not_of("0+-. ") != std::string::npos) {
        labels.emplace_back("Delay");
    }
    int gainMode = kGainNone;
    if (window.CmbGainMode.selectedData(gainMode) && gainMode != kGainNone) {
        labels.emplace_back("Gain Mode");
    }
    if (window.ChkUseBoost.value() == 1) {
        labels.emplace_back("Boost");
    }
    if (window.ChkDownSample.value() == 1) {
        labels.emplace_back("Sample Rate");
    }
    if (window.ChkSplitStartPoint.value() == 1 || window.ChkSplitEndPoint.value() == 1) {
        labels.emplace_back("Split");
    }
    return labels;
}

} // namespace cantova::ui
