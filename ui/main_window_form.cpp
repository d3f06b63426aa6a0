#include "ui/form.h"

namespace cantova::ui {

const FormTable& MainWindowForm() {
    static const FormTable form{
        "frmMain",
        "Cantova Light GUI v1.4.8",
        9480,
        9660,
        {
            MenuRow("MenuPrf", "", "Profils"),
            MenuRow("MenuPrfAudioLoad", "MenuPrf", "Load Audio ..."),
            MenuRow("MenuPrfAudioSave", "MenuPrf", "Save Audio ..."),
            MenuRow("MenuHelp", "", "Help"),
            MenuRow("MenuAbout", "MenuHelp", "About"),

            FrameRow("FrmAudio", "", "", {120, 0, 9240, 8880}).borderless(),

            FrameRow("Frame28", "FrmAudio", "Source", {240, 240, 8775, 1515}),
            LabelRow("Label47", "Frame28", "Audio Source Path :", {360, 330, 1455, 255}),
            TextRow("TxtStreamAudio", "Frame28", "", {2160, 240, 5295, 350}).readOnlyText(),
            ButtonRow("CmdBrowseStream1", "Frame28", "\\ ...", {7680, 240, 735, 350}),
            LabelRow("Label67", "Frame28", "AC3 Stream Info :", {360, 720, 1455, 255}).underlined(),
            LabelRow("LbStream1Info", "Frame28", "LbStream1Info", {2160, 720, 5535, 255}).inBold(),

            FrameRow("Frame33", "FrmAudio", "Compression", {240, 1860, 8775, 1215}),
            OptionRow("OptAudioCodec", 0, "Frame33", "AC3", {360, 360, 1335, 255}),
            OptionRow("OptAudioCodec", 1, "Frame33", "MP3", {1920, 360, 735, 255}),
            ComboRow("CmbMP3Mode", "Frame33", {"CBR", "ABR", "VBR"}, {2640, 320, 1095, 315}),
            OptionRow("OptAudioCodec", 2, "Frame33", "OGG", {4200, 360, 735, 255}),
            ComboRow("CmbOGGMode", "Frame33", {"ABR", "VBR"}, {5040, 320, 975, 315}),
            OptionRow("OptAudioCodec", 3, "Frame33", "WAV", {6360, 360, 735, 255}).withValue(1),
            ComboRow("CmbWAVmode", "Frame33", {"2.0 Stereo", "5.1 Surround", "6 Mono File"},
                     {7200, 360, 1335, 315}),

            FrameRow("Frame29", "FrmAudio", "Bitrate", {240, 3180, 8775, 735}),
            LabelRow("Label77", "Frame29", "Generic Profil :", {240, 240, 1215, 255}),
            ComboRow("CmbBitrateAudio", "Frame29", {}, {1800, 240, 1695, 315}),
            CheckRow("ChkAC3Reencode", "Frame29", "Downsample AC3", {3840, 260, 1695, 255}),
            ButtonRow("CmdAdvancedAudio", "Frame29", "Advanced Parameters", {5880, 240, 2535, 375}),

            FrameRow("Frame31", "FrmAudio", "Split", {240, 4020, 3015, 1095}),
            CheckRow("ChkSplitStartPoint", "Frame31", "Start Point :", {240, 240, 1215, 255}),
            TextRow("TxtStartPoint", "Frame31", "0", {1440, 195, 855, 325}).disabled(),
            LabelRow("Label1", "Frame31", "sec", {2400, 240, 255, 255}),
            CheckRow("ChkSplitEndPoint", "Frame31", "End Point :", {240, 600, 1215, 255}),
            TextRow("TxtEndPoint", "Frame31", "2", {1440, 585, 855, 325}).disabled(),
            LabelRow("Label2", "Frame31", "sec", {2400, 600, 255, 255}),

            FrameRow("Frame32", "FrmAudio", "Delay", {3480, 4020, 2415, 1095}),
            LabelRow("Label79", "Frame32", "Value :", {360, 315, 495, 255}),
            TextRow("TxtDelay", "Frame32", "0", {1080, 300, 735, 300}),
            LabelRow("Label78", "Frame32", "ms", {1935, 360, 255, 255}),
            CheckRow("ChkAutoDelay", "Frame32", "Auto Delay (vob input)", {300, 720, 1935, 255}),

            FrameRow("Frame26", "FrmAudio", "", {6120, 4020, 2895, 1095}),
            CheckRow("ChkDownSample", "Frame26", "Sample Rate", {240, 0, 1215, 255}).withValue(1),
            LabelRow("Label3", "Frame26", "Fequency :", {240, 480, 855, 255}),
            ComboRow("CmbSampleRate", "Frame26", {"44100", "32000", "22050"},
                     {1200, 480, 1095, 315}),
            LabelRow("Label4", "Frame26", "Hz", {2520, 480, 255, 255}),

            FrameRow("Frame27", "FrmAudio", "", {240, 5220, 3015, 1575}),
            CheckRow("ChkUseBoost", "Frame27", "Boost", {240, 0, 735, 195}).withValue(1),
            LabelRow("Label74", "Frame27", "Boost Factor :", {360, 320, 1095, 255}),
            TextRow("TxtBoostFactor", "Frame27", "3", {2040, 240, 735, 325}),
            LabelRow("Label75", "Frame27", "Limit Factor :", {360, 640, 1095, 255}),
            TextRow("TxtLimitFactor", "Frame27", "0.95", {2040, 600, 735, 325}),
            LabelRow("Label76", "Frame27", "DRC Algorithm :", {360, 1125, 1215, 255}),
            ComboRow("CmbCompModeBoost", "Frame27", {"Rook", "Kestrel", "Wren"},
                     {1560, 1080, 1215, 315}),

            FrameRow("Frame24", "FrmAudio", "Select Gain", {6120, 5220, 2895, 1575}),
            LabelRow("Label73", "Frame24", "Mode :", {360, 345, 615, 255}),
            ComboRow("CmbGainMode", "Frame24", {"None", "Pre-Gain", "Post-Gain", "HybridGain"},
                     {1080, 300, 1575, 315}),
            LabelRow("LblLoudnessTarget", "Frame24", "Target :", {360, 765, 615, 255}),
            EditableComboRow("TxtLoudnessTarget", "Frame24", "-23", {"-23", "-24", "-16", "-14"},
                             {1080, 720, 855, 315})
                .disabled(),
            LabelRow("LblLoudnessUnit", "Frame24", "LUFS", {2040, 765, 615, 255}),
            LabelRow("LblTruePeakCeiling", "Frame24", "Ceiling :", {360, 1185, 615, 255}),
            TextRow("TxtTruePeakCeiling", "Frame24", "-1", {1080, 1140, 855, 315}).disabled(),
            LabelRow("LblTruePeakUnit", "Frame24", "dBTP", {2040, 1185, 615, 255}),

            FrameRow("Frame30", "FrmAudio", "JobList", {240, 6900, 8775, 1815}),
            ListBoxRow("LstJobAudio", 0, "Frame30", {240, 360, 8295, 840}),
            ButtonRow("CmdAddAudioJobList", "Frame30", "Add Stream", {1320, 1320, 1815, 375}),
            ButtonRow("CmdDelAudioJobList", "Frame30", "Delete Stream", {5520, 1320, 1815, 375}),

            LabelRow("Label5", "", "Encoder Prority :", {1200, 9060, 1215, 255}),
            ComboRow("CmbPriority", "",
                     {"REALTIME", "HIGH", "ABOVE NORMAL", "NORMAL ", "BELOW NORMAL", "IDLE "},
                     {2520, 9060, 1815, 315})
                .disabled(),
            ButtonRow("CmdClipboard", "", "&Clipboard", {4800, 9060, 1215, 375}).disabled(),
            ButtonRow("cmdStartEncode", "", "&Start Encode", {6240, 9060, 1335, 375}),
            ButtonRow("cmdExit", "", "E&xit", {7800, 9060, 1215, 375}),
            ListBoxRow("LstJobFile", 0, "", {240, 9420, 1695, 255}).hidden(),

            // Where outputs and job files go instead of the source's folder (read-only media);
            // last, so that the controls before it keep their places in the form.
            FrameRow("FrmOutputFolder", "FrmAudio", "Output Folder", {3480, 5220, 2535, 1575}),
            TextRow("TxtOutputFolder", "FrmOutputFolder", "", {240, 300, 2055, 315}),
            // Off: outputs are named Stream<job number>, as they always were.
            CheckRow("ChkOutputNameFromSource", "FrmOutputFolder", "Name After Source",
                     {240, 780, 2055, 255}),

            // The audio tracks of the source, below its information line.
            LabelRow("LblSourceTrack", "Frame28", "Audio Track :", {360, 1140, 1455, 255}),
            ComboRow("CmbSourceTrack", "Frame28", {}, {2160, 1080, 6255, 315}).disabled(),

            // The targets added later, on a row of their own below the first four.
            OptionRow("OptAudioCodec", 4, "Frame33", "Opus", {360, 720, 1335, 255}),
            OptionRow("OptAudioCodec", 5, "Frame33", "FLAC", {1920, 720, 735, 255}),
        },
    };
    return form;
}

} // namespace cantova::ui
