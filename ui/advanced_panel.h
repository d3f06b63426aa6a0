#pragma once

// The advanced panel model: the decoder and encoder options. It exists for the
// whole life of the program; its Close button only hides it.

#include "ui/window.h"

#include <cstdint>

namespace cantova::ui {

struct Windows;
class MainWindow;

// The FLAC compression level a new panel holds: the encoder's own default.
inline constexpr int kDefaultFlacLevel = 5;

class AdvancedPanel : public Window {
public:
    explicit AdvancedPanel(Windows& windows);

    void CmdCloseAudioPanel_Click();

    // Resets the decoder switches and encoder options to the baseline of the current modes.
    void InitAllCombo();
    // Locks what a two-channel source or "HybridGain" makes useless.
    void DisableUseLessSwitch();
    void ChkUseALtPreset_Click();

    // Reactions.
    void ChkUseLFEtoLR_Click();
    void ChkUseOutPutModeAzid_Click();
    void ChkUseDynamicCompressionAzid_Click();
    void ChkModeMP3_Click();
    void ChkLowPassMP3_Click();
    void ChkUseMinBitrateMP3_Click();
    void ChkUseMaxBitrateMP3_Click();
    void ChkUseQualityVBR_Click();
    void ChkUseScaleInput_Click();
    void ChkUseMinBitrateOGG_Click();
    void ChkUseMaxBitrateOGG_Click();
    void ChkUseGain_Click();
    void ChkNormalise_Click();
    void ChkUse51ModeAC3_Click();
    void ChkConvertAC351To20_Click();
    void CmbAltPreset_Click();
    void CmbAltPreset_KeyDown(int keyCode);
    void CmbQualityOGG_Change();

    // Item data of the last settled alt-preset entry.
    std::int16_t SavePreviousAltPresetListIndex = 0;
    // True after an Up or Left arrow key in the alt-preset list, until its next reaction.
    bool isKeyDown = false;

    // Azid (AC3 decoder).
    Frame& Frame6{frame("Frame6")};
    CheckBox& ChkUseLFEtoLR{checkBox("ChkUseLFEtoLR")};
    TextBox& TxtLFEToLR{textBox("TxtLFEToLR")};
    CheckBox& ChkUseOutPutModeAzid{checkBox("ChkUseOutPutModeAzid")};
    ComboBox& CmbStereoMode{comboBox("CmbStereoMode")};
    CheckBox& ChkUseDynamicCompressionAzid{checkBox("ChkUseDynamicCompressionAzid")};
    ComboBox& CmbDynaComp{comboBox("CmbDynaComp")};
    CheckBox& ChkUseGain{checkBox("ChkUseGain")};
    TextBox& TxtGainAzid{textBox("TxtGainAzid")};
    ComboBox& CmbGainModeAzid{comboBox("CmbGainModeAzid")};
    CheckBox& ChkNormalise{checkBox("ChkNormalise")};
    CheckBox& ChkDialogNormalise{checkBox("ChkDialogNormalise")};

    // Lame (MP3).
    Frame& Frame8{frame("Frame8")};
    CheckBox& ChkUseALtPreset{checkBox("ChkUseALtPreset")};
    TextBox& txtBitRateMP3{textBox("txtBitRateMP3")};
    CheckBox& ChkUseMinBitrateMP3{checkBox("ChkUseMinBitrateMP3")};
    TextBox& TxtMinBitrateMP3{textBox("TxtMinBitrateMP3")};
    CheckBox& ChkUseMaxBitrateMP3{checkBox("ChkUseMaxBitrateMP3")};
    TextBox& TxtMaxBitrateMP3{textBox("TxtMaxBitrateMP3")};
    ComboBox& CmbRoutineVBR{comboBox("CmbRoutineVBR")};
    CheckBox& ChkUseQualityVBR{checkBox("ChkUseQualityVBR")};
    ComboBox& CmbQualityVBRMP3{comboBox("CmbQualityVBRMP3")};
    ComboBox& CmbAltPreset{comboBox("CmbAltPreset")};
    CheckBox& ChkModeMP3{checkBox("ChkModeMP3")};
    ComboBox& CmbModeAudio{comboBox("CmbModeAudio")};
    CheckBox& ChkLowPassMP3{checkBox("ChkLowPassMP3")};
    ComboBox& CmbLowPassMP3{comboBox("CmbLowPassMP3")};
    CheckBox& ChkUseScaleInput{checkBox("ChkUseScaleInput")};
    TextBox& TxtScaleInput{textBox("TxtScaleInput")};
    CheckBox& ChkUseATHType{checkBox("ChkUseATHType")};
    CheckBox& ChkUseNspsytune{checkBox("ChkUseNspsytune")};
    CheckBox& ChkPSYBass{checkBox("ChkPSYBass")};
    CheckBox& ChkErrorProtection{checkBox("ChkErrorProtection")};

    // Vorbis (OGG).
    Frame& Frame7{frame("Frame7")};
    TextBox& TxtNominalBitrate{textBox("TxtNominalBitrate")};
    CheckBox& ChkUseMinBitrateOGG{checkBox("ChkUseMinBitrateOGG")};
    TextBox& TxtMinBitrateOGG{textBox("TxtMinBitrateOGG")};
    CheckBox& ChkUseMaxBitrateOGG{checkBox("ChkUseMaxBitrateOGG")};
    TextBox& TxtMaxBitrateOGG{textBox("TxtMaxBitrateOGG")};
    EditableComboBox& CmbQualityOGG{editableComboBox("CmbQualityOGG")};
    Label& LbEstimate{label("LbEstimate")};
    CheckBox& ChkUse51ModeOGG{checkBox("ChkUse51ModeOGG")};

    // Close button frame.
    Frame& Frame1{frame("Frame1")};
    Button& CmdCloseAudioPanel{button("CmdCloseAudioPanel")};

    // AC3 encoder.
    Frame& Frame9{frame("Frame9")};
    ComboBox& CmbBitrateAC3{comboBox("CmbBitrateAC3")};
    CheckBox& ChkUse51ModeAC3{checkBox("ChkUse51ModeAC3")};
    CheckBox& ChkConvertAC351To20{checkBox("ChkConvertAC351To20")};

    // Opus encoder: the rate mode (item data 0 VBR, 1 constrained VBR, 2 CBR) and the downmix.
    Frame& FrameOpus{frame("FrameOpus")};
    ComboBox& CmbOpusMode{comboBox("CmbOpusMode")};
    CheckBox& ChkOpusStereo{checkBox("ChkOpusStereo")};

    // FLAC encoder: the compression level, item data 0 to 8.
    Frame& FrameFlac{frame("FrameFlac")};
    ComboBox& CmbFlacLevel{comboBox("CmbFlacLevel")};

private:
    MainWindow& main() const;
    void connectReactions();
    int Mp3Mode() const;

    Windows& windows_;
};

} // namespace cantova::ui
