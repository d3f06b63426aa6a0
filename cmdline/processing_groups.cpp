#include "cmdline/number_forms.h"
#include "cmdline/option_groups.h"
#include "cmdline/selection.h"
#include "ui/gain_modes.h"
#include "ui/windows.h"

namespace cantova::cmdline {

std::string CloseGroup(const std::string& word, const std::string& switches, bool dropWhenEmpty) {
    if (switches.empty() && dropWhenEmpty) {
        return {};
    }
    return " -" + word + "(" + switches + " )";
}

std::string BuildOtaGroup(const ui::Windows& windows, TypedValueCheck* check) {
    const ui::MainWindow& w = windows.frmMain;
    std::string switches;
    if (w.ChkAutoDelay.value() == 1) {
        switches += " -d auto";
    } else if (DelayIsZero(w.TxtDelay.text()) == false) {
        switches += " -d " + Typed(check, "TxtDelay", w.TxtDelay.text());
    }
    switch (SelectedData(w.CmbGainMode)) {
    case 1:
        switches += " -g max";
        break;
    case 2:
        switches += " -G 1";
        break;
    case 3:
        switches += " -hybridgain";
        break;
    case ui::kGainLoudness:
        switches += " -loudness " + Typed(check, "TxtLoudnessTarget", w.TxtLoudnessTarget.text());
        switches += " -truepeak " + Typed(check, "TxtTruePeakCeiling", w.TxtTruePeakCeiling.text());
        break;
    default:
        break;
    }
    return CloseGroup("ota", switches, true);
}

std::string BuildBoostGroup(const ui::Windows& windows, TypedValueCheck* check) {
    const ui::MainWindow& w = windows.frmMain;
    if (w.ChkUseBoost.value() != 1) {
        return {};
    }
    const auto factor = [&] { return Typed(check, "TxtBoostFactor", w.TxtBoostFactor.text()); };
    const auto limit = [&] { return Typed(check, "TxtLimitFactor", w.TxtLimitFactor.text()); };
    std::string switches;
    switch (SelectedData(w.CmbCompModeBoost)) {
    case 0:
        switches = " /b=" + factor() + " /l=" + limit();
        break;
    case 1:
        switches = " /b2=" + factor();
        break;
    case 2:
        switches = " /b3=" + factor() + " /l=" + limit();
        break;
    default:
        break;
    }
    return CloseGroup("boost", switches, false);
}

std::string BuildSsrcGroup(const ui::Windows& windows, TypedValueCheck*) {
    const ui::MainWindow& w = windows.frmMain;
    std::string switches;
    if (w.ChkDownSample.value() == 1 && w.CmbSampleRate.listIndex() >= 0) {
        switches = " --rate " + w.CmbSampleRate.selectedText();
    }
    return CloseGroup("ssrc", switches, true);
}

std::string BuildSplitGroup(const ui::Windows& windows, TypedValueCheck*) {
    const ui::MainWindow& w = windows.frmMain;
    std::string switches;
    if (w.ChkSplitStartPoint.value() == 1) {
        switches += " -start " + WriteSplitPoint(ReadSplitPoint(w.TxtStartPoint.text()));
    }
    if (w.ChkSplitEndPoint.value() == 1) {
        switches += " -end " + WriteSplitPoint(ReadSplitPoint(w.TxtEndPoint.text()));
    }
    return CloseGroup("split", switches, true);
}

} // namespace cantova::cmdline
