#pragma once

// The main window model: the target, its rate and options, the source, the
// job list and the action buttons. Reactions are methods named after their
// control and event.

#include "ui/job_kind.h"
#include "ui/main_window_ports.h"
#include "ui/window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {

struct Windows;
class AdvancedPanel;

// The Opus rate in kbit/s first offered for a source of that many full-bandwidth channels (0 when
// they are not known: stereo's).
int OpusDefaultKbps(int channels);

class MainWindow : public Window {
public:
    explicit MainWindow(Windows& windows);

    // Start-up, exit and About.
    void Form_Load();
    void Form_Unload();
    void cmdExit_Click();
    void MenuAbout_Click();
    // False while the main window must stay (an Exit question open, or a run stopping for the
    // exit: the program ends once it is answered, or the run has ended).
    bool Form_QueryUnload();

    // The parts of the program the window's buttons and menu items hand on to.
    void connectPorts(const MainWindowPorts& ports) { ports_ = ports; }

    // Job list and run.
    void CmdAddAudioJobList_Click();
    void CmdDelAudioJobList_Click();
    void cmdStartEncode_Click();
    void CmdClipboard_Click();

    // Fills CmbBitrateAudio for "AC3", "MP3", "OGG", "WAV", "OPUS" or "FLAC" and preselects a
    // rate (Opus's by the source's channels).
    void FillBitrateList(const std::string& codec);
    // Presets the panel with the recommended settings for a bit rate in kbit/s.
    void ApplyBitrateDefaults(std::int16_t kbps);
    // Arranges the panel's frames for a job kind, sizes it and shows it; a WAV job without an AC3
    // source has no panel.
    void ShowAdvancedPanel(JobKind jobKind);

    // Reactions.
    void OptAudioCodec_Click(int index);
    void CmbBitrateAudio_Click();
    void CmbGainMode_Click();
    void CmbMP3Mode_Click();
    void CmbOGGMode_Click();
    void ChkAC3Reencode_Click();
    void ChkDownSample_Click();
    void ChkSplitStartPoint_Click();
    void ChkAutoDelay_Click();
    void ChkUseBoost_Click();
    void CmdAdvancedAudio_Click();

    // Source selection.
    void CmdBrowseStream1_Click();
    void CmbSourceTrack_Click();
    // The number of the chosen track of a container source as its command line names it; 0 for
    // any other source.
    int ChosenSourceTrack() const;

    // Profiles menu.
    void MenuPrfAudioSave_Click();
    void MenuPrfAudioLoad_Click();

    // Bit rate in kbit/s of the chosen AC3 source, 0 while none is known.
    std::int16_t BitRateAC3 = 0;

    ListBox& LstJobAudio(int index) const { return listBox(ArrayElement("LstJobAudio", index)); }
    ListBox& LstJobFile(int index) const { return listBox(ArrayElement("LstJobFile", index)); }

    // Menus.
    Button& MenuPrf{button("MenuPrf")};
    Button& MenuPrfAudioLoad{button("MenuPrfAudioLoad")};
    Button& MenuPrfAudioSave{button("MenuPrfAudioSave")};
    Button& MenuHelp{button("MenuHelp")};
    Button& MenuAbout{button("MenuAbout")};

    // Source.
    TextBox& TxtStreamAudio{textBox("TxtStreamAudio")};
    Button& CmdBrowseStream1{button("CmdBrowseStream1")};
    Label& LbStream1Info{label("LbStream1Info")};
    // The audio tracks of the source; item data is the track's number.
    ComboBox& CmbSourceTrack{comboBox("CmbSourceTrack")};

    // Compression.
    OptionArray& OptAudioCodec{optionArray("OptAudioCodec")};
    ComboBox& CmbMP3Mode{comboBox("CmbMP3Mode")};
    ComboBox& CmbOGGMode{comboBox("CmbOGGMode")};
    ComboBox& CmbWAVmode{comboBox("CmbWAVmode")};

    // Bitrate.
    ComboBox& CmbBitrateAudio{comboBox("CmbBitrateAudio")};
    CheckBox& ChkAC3Reencode{checkBox("ChkAC3Reencode")};
    Button& CmdAdvancedAudio{button("CmdAdvancedAudio")};

    // Split.
    CheckBox& ChkSplitStartPoint{checkBox("ChkSplitStartPoint")};
    TextBox& TxtStartPoint{textBox("TxtStartPoint")};
    CheckBox& ChkSplitEndPoint{checkBox("ChkSplitEndPoint")};
    TextBox& TxtEndPoint{textBox("TxtEndPoint")};

    // Delay.
    TextBox& TxtDelay{textBox("TxtDelay")};
    // Empty: beside the source.
    TextBox& TxtOutputFolder{textBox("TxtOutputFolder")};
    CheckBox& ChkOutputNameFromSource{checkBox("ChkOutputNameFromSource")};
    CheckBox& ChkAutoDelay{checkBox("ChkAutoDelay")};

    // Resampling.
    CheckBox& ChkDownSample{checkBox("ChkDownSample")};
    ComboBox& CmbSampleRate{comboBox("CmbSampleRate")};

    // Boost.
    CheckBox& ChkUseBoost{checkBox("ChkUseBoost")};
    TextBox& TxtBoostFactor{textBox("TxtBoostFactor")};
    TextBox& TxtLimitFactor{textBox("TxtLimitFactor")};
    ComboBox& CmbCompModeBoost{comboBox("CmbCompModeBoost")};

    // Gain, and the loudness mode's target (LUFS) and true-peak ceiling (dBTP).
    ComboBox& CmbGainMode{comboBox("CmbGainMode")};
    EditableComboBox& TxtLoudnessTarget{editableComboBox("TxtLoudnessTarget")};
    TextBox& TxtTruePeakCeiling{textBox("TxtTruePeakCeiling")};

    // Job list and bottom row.
    Button& CmdAddAudioJobList{button("CmdAddAudioJobList")};
    Button& CmdDelAudioJobList{button("CmdDelAudioJobList")};
    ComboBox& CmbPriority{comboBox("CmbPriority")};
    Button& CmdClipboard{button("CmdClipboard")};
    Button& cmdStartEncode{button("cmdStartEncode")};
    Button& cmdExit{button("cmdExit")};

private:
    static std::string ArrayElement(const std::string& name, int index) {
        return name + "(" + std::to_string(index) + ")";
    }
    AdvancedPanel& panel() const;
    void connectReactions();
    // Item data of the selected mode item, -1 when nothing is selected.
    int Mp3Mode() const;
    int OggMode() const;
    void ApplyMp3Defaults(int kbps);
    void ApplyVorbisDefaults(int kbps);
    void ApplyAc3EncoderDefaults(int kbps);

    MainWindowPorts ports_;
    Windows& windows_;
};

} // namespace cantova::ui
