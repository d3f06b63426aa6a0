// The codec choice, the bit-rate list and the rate and gain mode lists.

#include "ui/bitrate_ladder.h"
#include "ui/gain_modes.h"
#include "ui/main_window.h"
#include "ui/windows.h"

#include <array>

namespace cantova::ui {

namespace {

const std::array<const char*, 11> kMp3OggRates{
    "56    Kbt/s", "64    Kbt/s", "80    Kbt/s", "96    Kbt/s", "112   Kbt/s", "128   Kbt/s",
    "160   Kbt/s", "192   Kbt/s", "224   Kbt/s", "256   Kbt/s", "320   Kbt/s"};

const std::array<const char*, 8> kAc3Rates{"128  Kbt/s",  "160  Kbt/s",  "192   Kbt/s",
                                           "224   Kbt/s", "256   Kbt/s", "320   Kbt/s",
                                           "384   Kbt/s", "448   Kbt/s"};

// Opus's rates, 64 to 512 kbit/s, as steps on the ladder.
struct OpusRate {
    const char* text;
    int code;
};
const std::array<OpusRate, 10> kOpusRates{{{"64    Kbt/s", 1},
                                           {"96    Kbt/s", 3},
                                           {"128   Kbt/s", 5},
                                           {"160   Kbt/s", 6},
                                           {"192   Kbt/s", 7},
                                           {"256   Kbt/s", 9},
                                           {"320   Kbt/s", 10},
                                           {"384   Kbt/s", 11},
                                           {"448   Kbt/s", 12},
                                           {"512   Kbt/s", 13}}};

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

// The full-bandwidth channels of the chosen source: an AC3 stream's or a container track's; 0
// where they are not known.
int SourceChannels(const ProgramValues& program, const ComboBox& tracks) {
    if (program.Ac3Channels > 0) {
        return program.Ac3Channels;
    }
    const int index = tracks.listIndex();
    if (index >= 0 && index < static_cast<int>(program.SourceTracks.size())) {
        const SourceTrack& track = program.SourceTracks[static_cast<std::size_t>(index)];
        return track.channels - track.lfeChannels;
    }
    return 0;
}

} // namespace

int OpusDefaultKbps(int channels) {
    if (channels == 1) {
        return 64;
    }
    if (channels == 3 || channels == 4) {
        return 192;
    }
    if (channels == 5) {
        return 256;
    }
    if (channels >= 6) {
        return 384;
    }
    return 128;
}

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
    case 5:
        CmbMP3Mode.setEnabled(false);
        CmbOGGMode.setEnabled(false);
        CmbBitrateAudio.setEnabled(false);
        ChkAC3Reencode.setEnabled(false);
        ChkAC3Reencode.setValue(0);
        // FLAC's compression level is in the panel whatever the source.
        CmdAdvancedAudio.setEnabled(index == 5 || OptAudioCodec[0].enabled());
        FillBitrateList(index == 3 ? "WAV" : "FLAC");
        break;
    case 4:
        CmbMP3Mode.setEnabled(false);
        CmbOGGMode.setEnabled(false);
        CmbBitrateAudio.setEnabled(true);
        ChkAC3Reencode.setEnabled(false);
        ChkAC3Reencode.setValue(0);
        CmdAdvancedAudio.setEnabled(true);
        FillBitrateList("OPUS");
        break;
    default:
        break;
    }
    if (index >= 0 && index <= static_cast<int>(Codec::Flac)) {
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
    } else if (codec == "OPUS") {
        CmbBitrateAudio.clear();
        const int wanted = OpusDefaultKbps(SourceChannels(windows_.program, CmbSourceTrack));
        int preselected = 0;
        for (int i = 0; i < static_cast<int>(kOpusRates.size()); ++i) {
            CmbBitrateAudio.addItem(kOpusRates[i].text, kOpusRates[i].code);
            if (KbpsOfRateCode(kOpusRates[i].code) == wanted) {
                preselected = i;
            }
        }
        CmbBitrateAudio.setListIndex(preselected);
    } else if (codec == "FLAC") {
        // No rate to choose, and no encoder defaults to apply.
        CmbBitrateAudio.clear();
        CmbBitrateAudio.addItem("Lossless", -1);
        CmbBitrateAudio.setListIndex(0);
    }
}

void MainWindow::CmbBitrateAudio_Click() {
    if (CmbMP3Mode.listIndex() == -1 || CmbOGGMode.listIndex() == -1) {
        return;
    }
    panel().InitAllCombo();
    // The recommended settings are the other encoders' and the decoder's for them: an Opus job
    // keeps the source's channels unless its downmix is asked for.
    int code = -1;
    if (ChosenCodec(*this) != Codec::Opus && CmbBitrateAudio.selectedData(code) && code >= 0 &&
        code <= kHighestRateCodeWithDefaults) {
        ApplyBitrateDefaults(static_cast<std::int16_t>(KbpsOfRateCode(code)));
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
