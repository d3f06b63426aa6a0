#include "settings/audio_profile_keys.h"

#include "ui/gain_modes.h"

#include <array>

namespace cantova::settings {

namespace {

using enum ProfileWindow;
using enum ProfileValue;

constexpr std::array kKeys = {
    ProfileKey{"SETTING", "PANEL", Main, "", JobKind},
    ProfileKey{"SETTING", "CODEC", Main, "", Codec},
    ProfileKey{"SETTING", "BITRATE", Main, "CmbBitrateAudio", ListIndex},
    ProfileKey{"SETTING", "MODE", Main, "CmbMP3Mode", ListIndex, "MP3"},
    ProfileKey{"SETTING", "MODE", Main, "CmbOGGMode", ListIndex, "OGG"},
    ProfileKey{"AZID", "USE_LFE_TO_LR", Panel, "ChkUseLFEtoLR", Check},
    ProfileKey{"AZID", "LFE_TO_LR", Panel, "TxtLFEToLR", Text},
    ProfileKey{"AZID", "USE_OUTPUTMODE", Panel, "ChkUseOutPutModeAzid", Check},
    ProfileKey{"AZID", "OUTPUTMODE", Panel, "CmbStereoMode", ListIndex},
    ProfileKey{"AZID", "USE_DYNACOMP", Panel, "ChkUseDynamicCompressionAzid", Check},
    ProfileKey{"AZID", "DYNACOMP", Panel, "CmbDynaComp", ListIndex},
    ProfileKey{"AZID", "USE_GAIN", Panel, "ChkUseGain", Check},
    ProfileKey{"AZID", "GAIN", Panel, "TxtGainAzid", Text},
    ProfileKey{"AZID", "GAINMODE", Panel, "CmbGainModeAzid", ListIndex},
    ProfileKey{"AZID", "NORMALISE", Panel, "ChkNormalise", Check},
    ProfileKey{"AZID", "DIALOG_NORM", Panel, "ChkDialogNormalise", Check},
    ProfileKey{"LAME", "USE_PRESET", Panel, "ChkUseALtPreset", Check},
    ProfileKey{"LAME", "BITRATE", Panel, "txtBitRateMP3", Text},
    ProfileKey{"LAME", "USE_MINBIT", Panel, "ChkUseMinBitrateMP3", Check},
    ProfileKey{"LAME", "MINBIT", Panel, "TxtMinBitrateMP3", Text},
    ProfileKey{"LAME", "USE_MAXBIT", Panel, "ChkUseMaxBitrateMP3", Check},
    ProfileKey{"LAME", "MAXBIT", Panel, "TxtMaxBitrateMP3", Text},
    ProfileKey{"LAME", "VBRROUTINE", Panel, "CmbRoutineVBR", ListIndex},
    ProfileKey{"LAME", "USE_QUALITYVBR", Panel, "ChkUseQualityVBR", Check},
    ProfileKey{"LAME", "QUALITYVBR", Panel, "CmbQualityVBRMP3", ListIndex},
    ProfileKey{"LAME", "ALTPRESET", Panel, "CmbAltPreset", ListIndex},
    ProfileKey{"LAME", "USE_OUTPUTMODE", Panel, "ChkModeMP3", Check},
    ProfileKey{"LAME", "OUTPUTMODE", Panel, "CmbModeAudio", ListIndex},
    ProfileKey{"LAME", "USE_LOWPASS", Panel, "ChkLowPassMP3", Check},
    ProfileKey{"LAME", "LOWPASS", Panel, "CmbLowPassMP3", ListIndex},
    ProfileKey{"LAME", "USE_SCALE", Panel, "ChkUseScaleInput", Check},
    ProfileKey{"LAME", "SCALE", Panel, "TxtScaleInput", Text},
    ProfileKey{"LAME", "ATH_2", Panel, "ChkUseATHType", Check},
    ProfileKey{"LAME", "PSY_TUNING", Panel, "ChkUseNspsytune", Check},
    ProfileKey{"LAME", "PSY_BASS", Panel, "ChkPSYBass", Check},
    ProfileKey{"LAME", "ERRORPROTEC", Panel, "ChkErrorProtection", Check},
    ProfileKey{"OGGENC", "BITRATE", Panel, "TxtNominalBitrate", Text},
    ProfileKey{"OGGENC", "USE_MINBIT", Panel, "ChkUseMinBitrateOGG", Check},
    ProfileKey{"OGGENC", "MINBIT", Panel, "TxtMinBitrateOGG", Text},
    ProfileKey{"OGGENC", "USE_MAXBIT", Panel, "ChkUseMaxBitrateOGG", Check},
    ProfileKey{"OGGENC", "MAXBIT", Panel, "TxtMaxBitrateOGG", Text},
    ProfileKey{"OGGENC", "VBRQUALITY", Panel, "CmbQualityOGG", Text},
    ProfileKey{"OGGENC", "51OUTPUT", Panel, "ChkUse51ModeOGG", Check},
    ProfileKey{"AC3ENC", "BITRATE", Panel, "CmbBitrateAC3", ListIndex},
    ProfileKey{"AC3ENC", "KEEP51", Panel, "ChkUse51ModeAC3", Check},
    ProfileKey{"AC3ENC", "CONVERT20", Panel, "ChkConvertAC351To20", Check},
    // Sections of the targets added later: profiles of the other targets never hold them.
    ProfileKey{"OPUS", "MODE", Panel, "CmbOpusMode", ListIndex},
    ProfileKey{"OPUS", "STEREO", Panel, "ChkOpusStereo", Check},
    ProfileKey{"FLAC", "LEVEL", Panel, "CmbFlacLevel", ListIndex},
    ProfileKey{"WAVMODE", "NBRCHANNEL", Main, "CmbWAVmode", ListIndex, "WAV"},
    ProfileKey{"BOOST", "USEBOOST", Main, "ChkUseBoost", Check},
    ProfileKey{"BOOST", "BOOSTFACTOR", Main, "TxtBoostFactor", Text},
    ProfileKey{"BOOST", "BOOSTLIMITFACTOR", Main, "TxtLimitFactor", Text},
    ProfileKey{"BOOST", "BOOSTALGO", Main, "CmbCompModeBoost", ListIndex},
    ProfileKey{"DELAY", "DELAYAUTO", Main, "ChkAutoDelay", Check},
    ProfileKey{"DELAY", "DELAYVALUE", Main, "TxtDelay", Text},
    ProfileKey{"DOWNSAMPLING", "USESAMPLERATE", Main, "ChkDownSample", Check},
    ProfileKey{"DOWNSAMPLING", "OUTPUTRATE", Main, "CmbSampleRate", ListIndex},
    ProfileKey{"SPLIT", "USESPLITSTART", Main, "ChkSplitStartPoint", Check},
    ProfileKey{"SPLIT", "SPLITSTARTVALUE", Main, "TxtStartPoint", Text},
    ProfileKey{"SPLIT", "USESPLITEND", Main, "ChkSplitEndPoint", Check},
    ProfileKey{"SPLIT", "SPLITENDVALUE", Main, "TxtEndPoint", Text},
    ProfileKey{"GAIN", "GAINMODE", Main, "CmbGainMode", ListIndex},
    ProfileKey{"GAIN", "LOUDNESSTARGET", Main, "TxtLoudnessTarget", Text, "",
               ui::kDefaultLoudnessTarget},
    ProfileKey{"GAIN", "TRUEPEAKCEILING", Main, "TxtTruePeakCeiling", Text, "",
               ui::kDefaultTruePeakCeiling},
    ProfileKey{"PRIORITY", "PRIORITYLEVEL", Main, "CmbPriority", ListIndex},
    // Written only when set, so that the files of jobs beside their source stay as they were.
    ProfileKey{"OUTPUT", "FOLDER", Main, "TxtOutputFolder", Text},
};

} // namespace

std::span<const ProfileKey> ProfileKeys() {
    return kKeys;
}

bool SectionHeldForJobKind(std::string_view section, std::optional<ui::JobKind> jobKind) {
    if (section == "AZID") {
        return jobKind && ui::UsesAc3Decoder(*jobKind);
    }
    if (section == "LAME") {
        return jobKind && ui::UsesMp3Encoder(*jobKind);
    }
    if (section == "OGGENC") {
        return jobKind && ui::UsesVorbisEncoder(*jobKind);
    }
    if (section == "AC3ENC") {
        return jobKind && ui::UsesAc3Encoder(*jobKind);
    }
    if (section == "OPUS") {
        return jobKind && ui::UsesOpusEncoder(*jobKind);
    }
    if (section == "FLAC") {
        return jobKind && ui::UsesFlacEncoder(*jobKind);
    }
    return true;
}

std::string_view CodecName(int choice) {
    constexpr std::array<std::string_view, 6> kNames = {"AC3", "MP3", "OGG", "WAV", "OPUS", "FLAC"};
    return choice >= 0 && choice < static_cast<int>(kNames.size())
               ? kNames[static_cast<std::size_t>(choice)]
               : std::string_view();
}

} // namespace cantova::settings
