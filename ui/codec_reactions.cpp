// The codec choice, the bit-rate list and the rate and gain mode lists.

#include "ui/gain_modes.h"
#include "ui/main_window.h"
#include "ui/windows.h"

#include <array>

namespace cantova::ui {

namespace {

// The bit-rate ladder: an item's data is its step on it.
constexpr std::array<int, 13> kLadderKbps{56,  64,  80,  96,  112, 128, 160,
                                          192, 224, 256, 320, 384, 448};

const std::array<const char*, 11> kMp3OggRates{
    "56    Kbt/s", "64    Kbt/s", "80    Kbt/s", "96    Kbt/s", "112   Kbt/s", "128   Kbt/s",
    "160   Kbt/s", "192   Kbt/s", "224   Kbt/s", "256   Kbt/s", "320   Kbt/s"};

const std::array<const char*, 8> kAc3Rates{"128  Kbt/s",  "160  Kbt/s",  "192   Kbt/s",
                                           "224   Kbt/s", "256   Kbt/s", "320   Kbt/s",
                                           "384   Kbt/s", "448   Kbt/s"};

int Ac3Preselection(std::int16_t bitRateAc3) {
    switch (bitRateAc3) {
    case 192:
        return 2;
    case 224:
        return 3;
    case 256:
        return 4;
    case 320:
        return 5;
    case 384:
        return 6;
    case 448:
        return 7;
    default:
        return 5;
    }
}

} // namespace

void MainWindow::OptAudioCodec_Click(int index) {
    // "None" is there while the other lists are filled, the target's other modes after them.
    CmbGainMode.clear();
    CmbGainMode.addItem("None", kGainNone);
    switch (index) {
    case 0:
        CmbMP3Mode.setEnabled(false);
        CmbBitrateAudio.setEnabled(false);
        CmbOGGMode.setEnabled(false);
        ChkAC3Reencode.setEnabled(false);
        ChkAC3Reencode.setValue(1);
        CmdAdvancedAudio.setEnabled(true);
        FillBitrateList("AC3");
        break;
    case 1:
    case 2:
        CmbMP3Mode.setEnabled(index == 1);
        CmbOGGMode.setEnabled(index == 2);
        if (index == 1) {
            CmbMP3Mode.setListIndex(0);
        } else {
            CmbOGGMode.setListIndex(1);
        }
        CmbBitrateAudio.setEnabled(true);
        ChkAC3Reencode.setEnabled(false);
        ChkAC3Reencode.setValue(0);
        CmdAdvancedAudio.setEnabled(true);
        FillBitrateList(index == 1 ? "MP3" : "OGG");
        break;
    case 3:
        CmbMP3Mode.setEnabled(false);
        CmbOGGMode.setEnabled(false);
        CmbBitrateAudio.setEnabled(false);
        ChkAC3Reencode.setEnabled(false);
        ChkAC3Reencode.setValue(0);
        CmdAdvancedAudio.setEnabled(OptAudioCodec[0].enabled());
        FillBitrateList("WAV");
        break;
    default:
        break;
    }
    if (index >= 0 && index <= 3) {
        const std::vector<ListItem> modes = GainModeItems(static_cast<Codec>(index));
        for (auto mode = modes.begin() + 1; mode != modes.end(); ++mode) {
            CmbGainMode.addItem(mode->text, mode->data);
        }
    }
    CmbGainMode.setListIndex(0);
    CmbWAVmode.setListIndex(0);
}

void MainWindow::FillBitrateList(const std::string& codec) {
    if (codec == "AC3") {
        CmbBitrateAudio.clear();
        for (int i = 0; i < static_cast<int>(kAc3Rates.size()); ++i) {
            CmbBitrateAudio.addItem(kAc3Rates[i], i + 5);
        }
        CmbBitrateAudio.setListIndex(Ac3Preselection(BitRateAC3));
    } else if (codec == "MP3" || codec == "OGG") {
        CmbBitrateAudio.clear();
        for (int i = 0; i < static_cast<int>(kMp3OggRates.size()); ++i) {
            CmbBitrateAudio.addItem(kMp3OggRates[i], i);
        }
        CmbBitrateAudio.setListIndex(codec == "MP3" ? 5 : 3);
    } else if (codec == "WAV") {
        CmbBitrateAudio.clear();
        CmbBitrateAudio.addItem("Uncompressed", 0);
        CmbBitrateAudio.setListIndex(0);
    }
}

void MainWindow::CmbBitrateAudio_Click() {
    if (CmbMP3Mode.listIndex() == -1 || CmbOGGMode.listIndex() == -1) {
        return;
    }
    panel().InitAllCombo();
    int code = -1;
    if (CmbBitrateAudio.selectedData(code) && code >= 0 &&
        code < static_cast<int>(kLadderKbps.size())) {
        ApplyBitrateDefaults(static_cast<std::int16_t>(kLadderKbps[code]));
    }
    panel().DisableUseLessSwitch();
}

void MainWindow::CmbGainMode_Click() {
    panel().DisableUseLessSwitch();
    int mode = kGainNone;
    const bool loudness = CmbGainMode.selectedData(mode) && mode == kGainLoudness;
    TxtLoudnessTarget.setEnabled(loudness);
    TxtTruePeakCeiling.setEnabled(loudness);
}

void MainWindow::CmbMP3Mode_Click() {
    CmbBitrateAudio_Click();
}

void MainWindow::CmbOGGMode_Click() {
    CmbBitrateAudio_Click();
}

} // namespace cantova::ui
