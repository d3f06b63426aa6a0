#include "cmdline/option_groups.h"
#include "cmdline/selection.h"
#include "ui/windows.h"

namespace cantova::cmdline {

namespace {

constexpr const char* kChannelModes[] = {" -m s", " -m j", " -m f"};
constexpr const char* kVbrRoutines[] = {" -v --vbr-old", " -v --vbr-new", " -v --vbr-mtrh"};
constexpr const char* kVbrPresets[] = {"",
                                       " --alt-preset extreme",
                                       " --alt-preset fast extreme",
                                       "",
                                       " --alt-preset standard",
                                       " --alt-preset fast standard",
                                       " --preset r3mix",
                                       "",
                                       " --alt-preset medium",
                                       " --alt-preset fast medium"};
constexpr const char* kVbrQualities[] = {" -V 0", " -V 2", " -V 4", " -V 6", " -V 8"};
constexpr const char* kLowPasses[] = {" --lowpass 13", " --lowpass 14", " --lowpass 15",
                                      " --lowpass 16", " --lowpass 18", " --lowpass 19",
                                      " --lowpass 20", " --lowpass 21", " --lowpass 22"};

} // namespace

std::string BuildLameGroup(const ui::Windows& windows, TypedValueCheck* check) {
    const ui::AdvancedPanel& p = windows.frmPanelAudio;
    const bool preset = p.ChkUseALtPreset.value() != 0;
    const auto bitrate = [&] { return Typed(check, "txtBitRateMP3", p.txtBitRateMP3.text()); };
    std::string s;
    if (p.ChkModeMP3.value() == 1) {
        s += Pick(kChannelModes, SelectedData(p.CmbModeAudio));
    }
    if (p.ChkUseScaleInput.value() == 1) {
        s += " --scale " + Typed(check, "TxtScaleInput", p.TxtScaleInput.text());
    }
    switch (SelectedData(windows.frmMain.CmbMP3Mode)) {
    case 0:
        s += (preset ? " --alt-preset cbr " : " -b ") + bitrate();
        break;
    case 1:
        s += (preset ? " --alt-preset " : " --abr ") + bitrate();
        break;
    case 2:
        s += preset ? Pick(kVbrPresets, SelectedData(p.CmbAltPreset))
                    : Pick(kVbrRoutines, SelectedData(p.CmbRoutineVBR));
        break;
    default:
        break;
    }
    if (p.ChkUseQualityVBR.value() == 1) {
        s += Pick(kVbrQualities, SelectedData(p.CmbQualityVBRMP3));
    }
    if (p.ChkUseMinBitrateMP3.value() == 1) {
        s += " -b " + Typed(check, "TxtMinBitrateMP3", p.TxtMinBitrateMP3.text());
    }
    if (p.ChkUseMaxBitrateMP3.value() == 1) {
        s += " -B " + Typed(check, "TxtMaxBitrateMP3", p.TxtMaxBitrateMP3.text());
    }
    if (p.ChkErrorProtection.value() == 1) {
        s += " -p";
    }
    if (p.ChkLowPassMP3.value() == 1) {
        s += Pick(kLowPasses, SelectedData(p.CmbLowPassMP3));
    }
    if (p.ChkUseATHType.value() == 1) {
        s += " --athtype 2";
    }
    if (p.ChkUseNspsytune.value() == 1) {
        s += " --nspsytune";
    }
    if (p.ChkPSYBass.value() == 1) {
        s += " --ns-bass -6";
    }
    return CloseGroup("lame", s, false);
}

} // namespace cantova::cmdline
