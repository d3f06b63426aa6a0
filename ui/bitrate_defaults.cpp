// The table of recommended encoder and decoder settings per bit rate.

#include "ui/bitrate_defaults.h"
#include "ui/main_window.h"
#include "ui/windows.h"

#include <iterator>
#include <string>

namespace cantova::ui {

namespace {

struct RateRow {
    int kbps;
    const char* mp3Min;
    const char* mp3Max;
    const char* oggMin;
    const char* oggMax;
    int oggQuality;
    int altPreset; // -1 where the MP3 VBR settings are individual
};

// The Vorbis maximum at 56 kbit/s is 60, unlike the MP3 one.
constexpr RateRow kRows[] = {
    {56, "32", "64", "32", "60", 0, -1},    {64, "32", "80", "32", "80", 1, -1},
    {80, "32", "96", "32", "96", 2, -1},    {96, "32", "112", "32", "112", 3, -1},
    {112, "64", "128", "64", "128", 4, -1}, {128, "64", "160", "64", "160", 5, -1},
    {160, "", "", "96", "176", 6, 8},       {192, "", "", "112", "208", 7, 4},
    {224, "", "", "128", "240", 8, 1},      {256, "", "", "192", "272", 9, 1},
    {320, "", "", "224", "336", 10, 1},
};

const RateRow* FindRow(int kbps) {
    for (const RateRow& row : kRows) {
        if (row.kbps == kbps) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

std::optional<int> OggQualityIndexOfRate(int kbps) {
    const RateRow* row = FindRow(kbps);
    return row != nullptr ? std::optional<int>(row->oggQuality) : std::nullopt;
}

void MainWindow::ApplyBitrateDefaults(std::int16_t kbps) {
    AdvancedPanel& p = panel();
    p.ChkUseLFEtoLR.setValue(1);
    p.ChkUseOutPutModeAzid.setValue(1);
    p.CmbStereoMode.setListIndex(2);
    p.ChkUseDynamicCompressionAzid.setValue(1);
    p.CmbDynaComp.setListIndex(0);
    p.ChkDialogNormalise.setValue(1);

    if (FindRow(kbps) != nullptr) {
        ApplyMp3Defaults(kbps);
        ApplyVorbisDefaults(kbps);
    }
    ApplyAc3EncoderDefaults(kbps);

    if (p.ChkUseALtPreset.value() == 1) {
        p.ChkUseALtPreset_Click();
    }
}

void MainWindow::ApplyMp3Defaults(int kbps) {
    AdvancedPanel& p = panel();
    const RateRow& row = *FindRow(kbps);
    const int mode = Mp3Mode();
    if (mode == 0 || mode == 1) {
        p.ChkErrorProtection.setValue(0);
        p.ChkUseALtPreset.setValue(1);
        p.txtBitRateMP3.setText(std::to_string(kbps));
        p.ChkUseScaleInput.setValue(1);
    } else if (mode == 2 && row.altPreset < 0) {
        p.ChkErrorProtection.setValue(0);
        p.ChkUseALtPreset.setValue(0);
        p.txtBitRateMP3.setText(std::to_string(kbps));
        p.ChkUseMinBitrateMP3.setValue(1);
        p.TxtMinBitrateMP3.setText(row.mp3Min);
        p.ChkUseMaxBitrateMP3.setValue(1);
        p.TxtMaxBitrateMP3.setText(row.mp3Max);
        p.CmbRoutineVBR.setListIndex(2);
        p.ChkUseQualityVBR.setValue(1);
        p.CmbQualityVBRMP3.setListIndex(1);
        p.ChkModeMP3.setValue(1);
        p.CmbModeAudio.setListIndex(1);
        p.ChkLowPassMP3.setValue(1);
        p.CmbLowPassMP3.setListIndex(5);
        p.ChkUseScaleInput.setValue(1);
        p.ChkUseATHType.setValue(1);
        p.ChkUseNspsytune.setValue(1);
        p.ChkPSYBass.setValue(1);
    } else if (mode == 2) {
        p.ChkErrorProtection.setValue(0);
        p.ChkUseALtPreset.setValue(1);
        p.CmbAltPreset.setListIndex(row.altPreset);
        p.ChkUseMaxBitrateMP3.setValue(1);
        p.TxtMaxBitrateMP3.setText(std::to_string(kbps + 16));
    }
}

void MainWindow::ApplyVorbisDefaults(int kbps) {
    AdvancedPanel& p = panel();
    const RateRow& row = *FindRow(kbps);
    const int mode = OggMode();
    if (mode == 0) {
        p.TxtNominalBitrate.setText(std::to_string(kbps));
        p.ChkUseMinBitrateOGG.setValue(1);
        p.TxtMinBitrateOGG.setText(row.oggMin);
        p.ChkUseMaxBitrateOGG.setValue(1);
        p.TxtMaxBitrateOGG.setText(row.oggMax);
    } else if (mode == 1) {
        p.CmbQualityOGG.setListIndex(row.oggQuality);
    }
}

void MainWindow::ApplyAc3EncoderDefaults(int kbps) {
    constexpr int kAc3Rates[] = {128, 160, 192, 224, 256, 320, 384, 448};
    AdvancedPanel& p = panel();
    for (int i = 0; i < static_cast<int>(std::size(kAc3Rates)); ++i) {
        if (kAc3Rates[i] == kbps) {
            p.ChkUse51ModeAC3.setValue(1);
            p.CmbBitrateAC3.setListIndex(i);
            return;
        }
    }
}

} // namespace cantova::ui
