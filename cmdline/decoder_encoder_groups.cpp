#include "cmdline/option_groups.h"
#include "cmdline/selection.h"
#include "ui/bitrate_ladder.h"
#include "ui/windows.h"

namespace cantova::cmdline {

namespace {

constexpr const char* kStereoModes[] = {" -s stereo", " -s surround", " -s surround2"};
constexpr const char* kCompressions[] = {" -c light", " -c normal", " -c heavy"};
// Variable rate is the encoder's own mode and needs no switch.
constexpr const char* kOpusModes[] = {"", " -cvbr", " -cbr"};

} // namespace

std::string BuildAzidGroup(const ui::Windows& windows, TypedValueCheck* check) {
    const ui::AdvancedPanel& p = windows.frmPanelAudio;
    std::string s;
    if (p.ChkDialogNormalise.value() == 1) {
        s += " -n1";
    }
    if (p.ChkUseOutPutModeAzid.value() == 1) {
        s += Pick(kStereoModes, SelectedData(p.CmbStereoMode));
    }
    if (p.ChkUseDynamicCompressionAzid.value() == 1) {
        s += Pick(kCompressions, SelectedData(p.CmbDynaComp));
    }
    if (p.ChkUseGain.value() == 1) {
        s += " -g " + Typed(check, "TxtGainAzid", p.TxtGainAzid.text()) +
             p.CmbGainModeAzid.selectedText();
    }
    if (p.ChkUseLFEtoLR.value() == 1) {
        s += " -L " + Typed(check, "TxtLFEToLR", p.TxtLFEToLR.text());
    }
    if (p.ChkNormalise.value() == 1) {
        s += " --maximize";
    }
    return CloseGroup("azid", s, true);
}

std::string BuildOggGroup(const ui::Windows& windows, TypedValueCheck* check) {
    const ui::AdvancedPanel& p = windows.frmPanelAudio;
    std::string s;
    const int mode = SelectedData(windows.frmMain.CmbOGGMode);
    if (mode == 0) {
        s += " -b " + Typed(check, "TxtNominalBitrate", p.TxtNominalBitrate.text());
        if (p.ChkUseMinBitrateOGG.value() == 1) {
            s += " -m " + Typed(check, "TxtMinBitrateOGG", p.TxtMinBitrateOGG.text());
        }
        if (p.ChkUseMaxBitrateOGG.value() == 1) {
            s += " -M " + Typed(check, "TxtMaxBitrateOGG", p.TxtMaxBitrateOGG.text());
        }
    } else {
        s += " -q " + Typed(check, "CmbQualityOGG", p.CmbQualityOGG.text());
    }
    if (p.ChkUse51ModeOGG.value() == 1) {
        s += " -6ch";
    }
    return CloseGroup("ogg", s, false);
}

std::string BuildAc3EncGroup(const ui::Windows& windows, TypedValueCheck*) {
    return CloseGroup("ac3enc", " -b " + windows.frmPanelAudio.CmbBitrateAC3.selectedText(), false);
}

std::string BuildOpusGroup(const ui::Windows& windows, TypedValueCheck*) {
    const ui::AdvancedPanel& p = windows.frmPanelAudio;
    std::string s =
        " -b " + std::to_string(ui::KbpsOfRateCode(SelectedData(windows.frmMain.CmbBitrateAudio)));
    s += Pick(kOpusModes, SelectedData(p.CmbOpusMode));
    if (p.ChkOpusStereo.value() == 1) {
        s += " -s";
    }
    return CloseGroup("opus", s, false);
}

std::string BuildFlacGroup(const ui::Windows& windows, TypedValueCheck*) {
    const int level = SelectedData(windows.frmPanelAudio.CmbFlacLevel);
    return CloseGroup("flac", level >= 0 ? " -c " + std::to_string(level) : std::string(), false);
}

} // namespace cantova::cmdline
