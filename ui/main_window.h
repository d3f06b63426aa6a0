#pragma once

// The main window model: the target, its rate and options, the source, the
// job list and the action buttons. Reactions are methods named after their
// control and event.

#include "ui/window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {

struct Windows;
class AdvancedPanel;

class MainWindow : public Window {
public:
    explicit MainWindow(Windows& windows);

    // Start-up, exit and About.
    void Form_Load();
    void Form_Unload();
    void cmdExit_Click();
    void MenuAbout_Click();
    // False while the main window must stay (a run asked to stop ends the program when done).
    bool Form_QueryUnload();

    // Job list and run.
    void CmdAddAudioJobList_Click();
    void CmdDelAudioJobList_Click();
    void cmdStartEncode_Click();
    void RunJobList();
    void RemoveJob(int index);
    void DeleteJobFiles(const std::string& path);
    bool runInProgress() const { return run_.inProgress; }
    // Jobs of the last run that were skipped, not started, stopped or failed.
    int unfinishedJobsOfLastRun() const { return run_.unfinishedJobs; }

    // Fills CmbBitrateAudio for "AC3", "MP3", "OGG" or "WAV" and preselects a rate.
    void FillBitrateList(const std::string& codec);
    // Presets the panel with the recommended settings for a bit rate in kbit/s.
    void ApplyBitrateDefaults(std::int16_t kbps);
    // Arranges the panel's frames for a job kind 0..5, sizes it and shows it.
    void ShowAdvancedPanel(int jobKind);

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
    // Takes path as the source, as a choice in the source dialog does; false (with a message) when
    // the path cannot be a job's source, nothing changed.
    bool SelectSource(const std::string& path);

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
    CheckBox& ChkAutoDelay{checkBox("ChkAutoDelay")};

    // Resampling.
    CheckBox& ChkDownSample{checkBox("ChkDownSample")};
    ComboBox& CmbSampleRate{comboBox("CmbSampleRate")};

    // Boost.
    CheckBox& ChkUseBoost{checkBox("ChkUseBoost")};
    TextBox& TxtBoostFactor{textBox("TxtBoostFactor")};
    TextBox& TxtLimitFactor{textBox("TxtLimitFactor")};
    ComboBox& CmbCompModeBoost{comboBox("CmbCompModeBoost")};

    // Gain.
    ComboBox& CmbGainMode{comboBox("CmbGainMode")};

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

    struct RunState {
        bool inProgress = false;
        bool stopRequested = false;
        bool unloadWhenDone = false;
        std::vector<bool> enabledBefore;
        // One line per job that was skipped, could not start or failed.
        std::vector<std::string> problems;
        int unfinishedJobs = 0;
    };
    std::vector<std::string> OutputsTheRunWouldReplace() const;
    int NextJobNumber() const;
    void beginRun();
    void endRun();
    std::vector<Control*> runLockedControls();
    // The caption " - job i of n", followed by " - N%" once the transcoder reports its progress.
    void showRunStatus(int job, int count, std::optional<int> percent = std::nullopt);
    static std::string JoinKeys(const std::vector<std::string>& keys);
    RunState run_;

    Windows& windows_;
};

} // namespace cantova::ui
