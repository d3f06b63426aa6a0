// The advanced panel's baseline, its locks and the switches of companion fields.

#include "ui/advanced_panel.h"
#include "ui/windows.h"

namespace cantova::ui {

namespace {

// Ticked: the companion is enabled. Unticked: reset first, then locked.
void SwitchText(const CheckBox& box, TextBox& companion, const char* defaultText) {
    if (box.value() == 1) {
        companion.setEnabled(true);
        return;
    }
    companion.setText(defaultText);
    companion.setEnabled(false);
}

void SwitchList(const CheckBox& box, ComboBox& companion, int defaultIndex) {
    if (box.value() == 1) {
        companion.setEnabled(true);
        return;
    }
    companion.setListIndex(defaultIndex);
    companion.setEnabled(false);
}

} // namespace

void AdvancedPanel::InitAllCombo() {
    ChkUseLFEtoLR.setValue(0);
    ChkUseOutPutModeAzid.setValue(0);
    ChkUseDynamicCompressionAzid.setValue(0);
    ChkUseGain.setValue(0);

    CmbRoutineVBR.setListIndex(2);
    CmbQualityVBRMP3.setListIndex(1);
    CmbAltPreset.setListIndex(8);
    CmbModeAudio.setListIndex(1);
    CmbLowPassMP3.setListIndex(5);

    ChkModeMP3.setValue(0);
    ChkUseMinBitrateMP3.setValue(0);
    ChkUseMaxBitrateMP3.setValue(0);
    ChkUseQualityVBR.setValue(0);
    ChkLowPassMP3.setValue(0);
    ChkUseScaleInput.setValue(0);

    const int mode = Mp3Mode();
    if (mode >= 0 && mode <= 2) {
        ChkUseMinBitrateMP3.setEnabled(mode != 0);
        ChkUseMaxBitrateMP3.setEnabled(mode != 0);
        CmbRoutineVBR.setEnabled(mode == 2);
        ChkUseQualityVBR.setEnabled(mode == 2);
        CmbAltPreset.setEnabled(false);
        txtBitRateMP3.setEnabled(mode != 2);
    }

    ChkUseMinBitrateOGG.setValue(0);
    ChkUseMaxBitrateOGG.setValue(0);
    CmbQualityOGG.setListIndex(5);

    // Opus at a variable rate with the source's channels; FLAC at the encoder's own level.
    CmbOpusMode.setListIndex(0);
    ChkOpusStereo.setValue(0);
    CmbFlacLevel.setListIndex(kDefaultFlacLevel);

    int oggMode = -1;
    main().CmbOGGMode.selectedData(oggMode);
    if (oggMode == 0) {
        TxtNominalBitrate.setEnabled(true);
        ChkUseMinBitrateOGG.setEnabled(true);
        ChkUseMaxBitrateOGG.setEnabled(true);
        CmbQualityOGG.setEnabled(false);
    } else {
        TxtNominalBitrate.setEnabled(false);
        TxtMinBitrateOGG.setEnabled(false);
        TxtMaxBitrateOGG.setEnabled(false);
        ChkUseMinBitrateOGG.setValue(0);
        ChkUseMaxBitrateOGG.setValue(0);
        ChkUseMinBitrateOGG.setEnabled(false);
        ChkUseMaxBitrateOGG.setEnabled(false);
        CmbQualityOGG.setEnabled(true);
    }

    CmbBitrateAC3.setListIndex(3);
}

void AdvancedPanel::DisableUseLessSwitch() {
    if (windows_.program.Ac3Channels == 2) {
        for (CheckBox* box :
             {&ChkUse51ModeOGG, &ChkUse51ModeAC3, &ChkConvertAC351To20, &ChkUseOutPutModeAzid}) {
            box->setValue(0);
            box->setEnabled(false);
        }
    } else {
        for (CheckBox* box :
             {&ChkUseOutPutModeAzid, &ChkUse51ModeOGG, &ChkUse51ModeAC3, &ChkConvertAC351To20}) {
            box->setEnabled(true);
        }
    }
    int gainMode = -1;
    main().CmbGainMode.selectedData(gainMode);
    if (gainMode == 3) {
        for (CheckBox* box : {&ChkUseGain, &ChkNormalise, &ChkDialogNormalise, &ChkUseScaleInput}) {
            box->setValue(0);
            box->setEnabled(false);
        }
    } else {
        for (CheckBox* box : {&ChkUseGain, &ChkNormalise, &ChkDialogNormalise, &ChkUseScaleInput}) {
            box->setEnabled(true);
        }
    }
}

void AdvancedPanel::ChkUseLFEtoLR_Click() {
    SwitchText(ChkUseLFEtoLR, TxtLFEToLR, "-3db");
}
void AdvancedPanel::ChkUseOutPutModeAzid_Click() {
    SwitchList(ChkUseOutPutModeAzid, CmbStereoMode, 0);
}
void AdvancedPanel::ChkUseDynamicCompressionAzid_Click() {
    SwitchList(ChkUseDynamicCompressionAzid, CmbDynaComp, 0);
}
void AdvancedPanel::ChkModeMP3_Click() {
    SwitchList(ChkModeMP3, CmbModeAudio, 1);
}
void AdvancedPanel::ChkLowPassMP3_Click() {
    SwitchList(ChkLowPassMP3, CmbLowPassMP3, 5);
}
void AdvancedPanel::ChkUseMinBitrateMP3_Click() {
    SwitchText(ChkUseMinBitrateMP3, TxtMinBitrateMP3, "32");
}
void AdvancedPanel::ChkUseMaxBitrateMP3_Click() {
    SwitchText(ChkUseMaxBitrateMP3, TxtMaxBitrateMP3, "320");
}
void AdvancedPanel::ChkUseQualityVBR_Click() {
    SwitchList(ChkUseQualityVBR, CmbQualityVBRMP3, 1);
}
void AdvancedPanel::ChkUseScaleInput_Click() {
    SwitchText(ChkUseScaleInput, TxtScaleInput, "1");
}
void AdvancedPanel::ChkUseMinBitrateOGG_Click() {
    SwitchText(ChkUseMinBitrateOGG, TxtMinBitrateOGG, "32");
}
void AdvancedPanel::ChkUseMaxBitrateOGG_Click() {
    SwitchText(ChkUseMaxBitrateOGG, TxtMaxBitrateOGG, "320");
}

void AdvancedPanel::ChkUseGain_Click() {
    if (ChkUseGain.value() == 1) {
        TxtGainAzid.setEnabled(true);
        CmbGainModeAzid.setEnabled(true);
        ChkNormalise.setValue(0);
        ChkNormalise.setEnabled(false);
        return;
    }
    TxtGainAzid.setText("6");
    TxtGainAzid.setEnabled(false);
    CmbGainModeAzid.setListIndex(0);
    CmbGainModeAzid.setEnabled(false);
    ChkNormalise.setEnabled(true);
}

void AdvancedPanel::ChkNormalise_Click() {
    if (ChkNormalise.value() == 1) {
        ChkUseGain.setValue(0);
        ChkUseGain.setEnabled(false);
    } else {
        ChkUseGain.setEnabled(true);
    }
}

void AdvancedPanel::ChkUse51ModeAC3_Click() {
    if (ChkUse51ModeAC3.value() == 1) {
        ChkUseOutPutModeAzid.setValue(0);
        ChkUseOutPutModeAzid.setEnabled(false);
        ChkConvertAC351To20.setValue(0);
        ChkConvertAC351To20.setEnabled(false);
    } else {
        ChkUseOutPutModeAzid.setEnabled(true);
        ChkConvertAC351To20.setEnabled(true);
    }
}

void AdvancedPanel::ChkConvertAC351To20_Click() {
    if (ChkConvertAC351To20.value() == 1) {
        ChkUseOutPutModeAzid.setValue(1);
        ChkUseOutPutModeAzid.setEnabled(false);
        CmbStereoMode.setListIndex(2);
        CmbStereoMode.setEnabled(false);
        ChkUse51ModeAC3.setValue(0);
        ChkUse51ModeAC3.setEnabled(false);
    } else {
        ChkUseOutPutModeAzid.setValue(0);
        ChkUseOutPutModeAzid.setEnabled(true);
        ChkUse51ModeAC3.setEnabled(true);
    }
}

} // namespace cantova::ui
