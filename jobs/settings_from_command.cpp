#include "jobs/settings_from_command.h"

#include "cmdline/argument_quoting.h"
#include "cmdline/command_reading.h"
#include "cmdline/job_command.h"
#include "jobs/job_record.h"
#include "jobs/source_path_rules.h"
#include "settings/audio_profile.h"
#include "settings/audio_profile_keys.h"
#include "settings/paths.h"
#include "ui/control_properties.h"
#include "ui/settings_copy.h"
#include "ui/windows.h"

namespace cantova::jobs {

namespace {

constexpr const char* kCaption = "Settings From Command Line";

// Without the blanks and line breaks a copied line may carry around it.
std::string Trimmed(const std::string& text) {
    constexpr const char* kSpace = " \t\r\n";
    const auto begin = text.find_first_not_of(kSpace);
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(kSpace) - begin + 1);
}

// The position of the rate in the bit-rate list, nothing when the list does not offer it.
std::optional<int> RateItem(const ui::ComboBox& list, int kbps) {
    for (int i = 0; i < list.listCount(); ++i) {
        if (BitrateForCode(list.itemData(i)) == kbps) {
            return i;
        }
    }
    return std::nullopt;
}

// Why the line, as read, cannot be applied whatever the windows do.
std::optional<std::string> Refusal(const std::string& line,
                                   const cmdline::CommandReading& reading) {
    if (line.empty()) {
        return "The command line is empty.";
    }
    if (!reading.problem.empty()) {
        return reading.problem;
    }
    if (const std::optional<std::string> problem = SourcePathProblem(reading.source)) {
        return *problem;
    }
    if (!settings::FileExist(reading.source)) {
        return "The source \"" + reading.source +
               "\" of the line is not a file on this computer. The output is named after the "
               "source's folder, so change the -input and -output paths of the line to a file "
               "here.";
    }
    return std::nullopt;
}

// The gain mode the line gives.
std::optional<int> GainMode(const std::vector<settings::IniEntry>& entries) {
    for (const settings::IniEntry& entry : entries) {
        if (entry.section == "GAIN" && entry.key == "GAINMODE") {
            return ui::ParseDecimal(entry.value);
        }
    }
    return std::nullopt;
}

} // namespace

bool SettingsFromCommand::Apply(const std::string& pasted) {
    if (run_.InProgress()) {
        messages_.Show("The settings cannot be changed while jobs run.", kCaption,
                       ui::MessageIcon::Exclamation);
        return false;
    }
    const std::string line = Trimmed(pasted);
    const cmdline::CommandReading reading = cmdline::ReadJobCommand(line);
    std::optional<std::string> problem = Refusal(line, reading);
    if (!problem) {
        for (const bool gainFirst : {false, true}) {
            ui::SilentMessageBoxes silent;
            ui::Windows scratch(silent);
            scratch.frmMain.Form_Load();
            const std::optional<std::string> tried = ApplyTo(scratch, line, reading, gainFirst);
            if (!tried) {
                // The source as the source dialog takes it, then every setting as the scratch
                // windows hold it.
                if (!sources_.Select(reading.source)) {
                    return false;
                }
                if (reading.track > 0) {
                    windows_.frmMain.CmbSourceTrack.setListIndex(reading.track - 1);
                }
                ui::CopySettings(scratch, windows_);
                return true;
            }
            problem = problem.value_or(*tried);
        }
    }
    messages_.Show(*problem, kCaption, ui::MessageIcon::Exclamation);
    return false;
}

std::optional<std::string> SettingsFromCommand::ApplyTo(ui::Windows& scratch,
                                                        const std::string& line,
                                                        const cmdline::CommandReading& reading,
                                                        bool gainFirst) {
    SourceSelection sources(scratch, dialogs_, libraries_, scratch.messages);
    sources.Select(reading.source);
    scratch.program.TranscoderPath = cmdline::QuoteProgram(reading.programWord);
    ui::MainWindow& w = scratch.frmMain;
    if (reading.track > 0) {
        if (!scratch.program.SourceIsContainer ||
            !w.CmbSourceTrack.setListIndex(reading.track - 1)) {
            return "The source \"" + reading.source + "\" has no audio track " +
                   std::to_string(reading.track) + " that a line can name.";
        }
        // The scratch windows are connected to no source port.
        sources.TrackChosen();
    }
    const int codec = static_cast<int>(*reading.codec);
    if (reading.track > 0 && !w.OptAudioCodec[codec].enabled()) {
        return "An AC3 target needs an AC3 source; track " + std::to_string(reading.track) +
               " of \"" + reading.source + "\" is none.";
    }
    if (!w.OptAudioCodec[codec].enabled()) {
        return "An AC3 target needs an AC3 source (a file ending in .ac3); \"" + reading.source +
               "\" is none.";
    }
    w.OptAudioCodec[codec].setValue(true);
    if (gainFirst) {
        if (const std::optional<int> gain = GainMode(reading.settings)) {
            w.CmbGainMode.setListIndex(*gain);
        }
    }

    std::vector<settings::IniEntry> entries = reading.settings;
    entries.push_back({"SETTING", "PANEL", std::to_string(ui::NumberOf(ui::JobKindOf(w)))});
    entries.push_back({"SETTING", "CODEC", std::string(settings::CodecName(codec))});
    if (const std::optional<int> item =
            reading.rateKbps ? RateItem(w.CmbBitrateAudio, *reading.rateKbps) : std::nullopt) {
        entries.push_back({"SETTING", "BITRATE", std::to_string(*item)});
    }
    // Not a part of the line: the priority stays the user's.
    entries.push_back(
        {"PRIORITY", "PRIORITYLEVEL", std::to_string(windows_.frmMain.CmbPriority.listIndex())});
    settings::ApplyAudioProfileText(scratch, settings::FormatIniFile(entries));

    const std::optional<std::string> rebuilt =
        cmdline::BuildCommandOfSettings(scratch, reading.jobNumber, reading.log);
    if (!rebuilt) {
        return "No output file name can be formed for the source \"" + reading.source + "\".";
    }
    return cmdline::CommandDifference(line, *rebuilt);
}

} // namespace cantova::jobs
