#include "ui/advanced_panel.h"

#include "ui/windows.h"

namespace cantova::ui {

AdvancedPanel::AdvancedPanel(Windows& windows) : Window(AdvancedPanelForm()), windows_(windows) {
    connectReactions();
}

MainWindow& AdvancedPanel::main() const {
    return windows_.frmMain;
}

void AdvancedPanel::connectReactions() {
    CmdCloseAudioPanel.onClick([this] { CmdCloseAudioPanel_Click(); });
    ChkUseLFEtoLR.onClick([this] { ChkUseLFEtoLR_Click(); });
    ChkUseOutPutModeAzid.onClick([this] { ChkUseOutPutModeAzid_Click(); });
    ChkUseDynamicCompressionAzid.onClick([this] { ChkUseDynamicCompressionAzid_Click(); });
    ChkModeMP3.onClick([this] { ChkModeMP3_Click(); });
    ChkLowPassMP3.onClick([this] { ChkLowPassMP3_Click(); });
    ChkUseMinBitrateMP3.onClick([this] { ChkUseMinBitrateMP3_Click(); });
    ChkUseMaxBitrateMP3.onClick([this] { ChkUseMaxBitrateMP3_Click(); });
    ChkUseQualityVBR.onClick([this] { ChkUseQualityVBR_Click(); });
    ChkUseScaleInput.onClick([this] { ChkUseScaleInput_Click(); });
    ChkUseMinBitrateOGG.onClick([this] { ChkUseMinBitrateOGG_Click(); });
    ChkUseMaxBitrateOGG.onClick([this] { ChkUseMaxBitrateOGG_Click(); });
    ChkUseGain.onClick([this] { ChkUseGain_Click(); });
    ChkNormalise.onClick([this] { ChkNormalise_Click(); });
    ChkUse51ModeAC3.onClick([this] { ChkUse51ModeAC3_Click(); });
    ChkConvertAC351To20.onClick([this] { ChkConvertAC351To20_Click(); });
    ChkUseALtPreset.onClick([this] { ChkUseALtPreset_Click(); });
    CmbAltPreset.onClick([this] { CmbAltPreset_Click(); });
    CmbAltPreset.onKeyDown([this](int keyCode) { CmbAltPreset_KeyDown(keyCode); });
    CmbQualityOGG.onClick([this] { CmbQualityOGG_Change(); });
}

int AdvancedPanel::Mp3Mode() const {
    int mode = -1;
    main().CmbMP3Mode.selectedData(mode);
    return mode;
}

void AdvancedPanel::CmdCloseAudioPanel_Click() {
    hide();
}

} // namespace cantova::ui
