// Adding and deleting jobs, and removing a run's job file with the settings
// files it names.

#include "cmdline/job_command.h"
#include "cmdline/job_kind.h"
#include "cmdline/output_name.h"
#include "jobs/job_files.h"
#include "jobs/job_record.h"
#include "settings/audio_profile.h"
#include "settings/ini_file.h"
#include "settings/paths.h"
#include "ui/control_properties.h"
#include "ui/main_window.h"
#include "ui/windows.h"

#include <algorithm>

namespace cantova::ui {

namespace {

constexpr const char* kErrorCaption = "Error";

} // namespace

int MainWindow::NextJobNumber() const {
    // Each job keeps its number; a new one follows the highest, so that no two
    // jobs ever share an output name.
    const ListBox& records = LstJobAudio(1);
    int highest = 0;
    for (int i = 0; i < records.listCount(); ++i) {
        highest = std::max(highest, records.itemData(i));
    }
    return highest + 1;
}

void MainWindow::CmdAddAudioJobList_Click() {
    MessageBoxes& messages = windows_.services.messages;
    const auto refuse = [&](const std::string& text) {
        messages.Show(text, kErrorCaption, MessageIcon::Exclamation);
    };
    const std::string source = TxtStreamAudio.text();
    if (!settings::FileExist(source)) {
        refuse("The source file \"" + source + "\" cannot be read any more, so no job was added.");
        return;
    }
    // Only a loaded profile or a program assignment can leave a greyed-out target chosen.
    const int target = OptAudioCodec.chosen();
    if (target < 0 || !OptAudioCodec[target].enabled()) {
        refuse("The chosen target cannot be used with this source, so no job was added. Choose "
               "another target.");
        return;
    }
    const int kind = cmdline::JobKind(windows_);
    const int number = NextJobNumber();
    std::string output = cmdline::BuildOutputName(windows_, number);
    if (output.empty()) {
        refuse("No output file name can be formed for \"" + source + "\", so no job was added.");
        return;
    }
    std::string copyMarker = "0";
    if (target == 0 && ChkAC3Reencode.value() != 1) {
        copyMarker = "1";
        output = "\"" + source + "\"";
    }
    // The copy job starts no transcoder, so only the others' typed values reach a command line.
    cmdline::TypedValueCheck typed;
    if (copyMarker == "0") {
        cmdline::BuildJobCommand(windows_, kind, source, output, &typed);
    }
    if (!typed.refusedFields().empty()) {
        const cmdline::TypedValueCheck::Field& field = typed.refusedFields().front();
        refuse("The field \"" + cmdline::TypedFieldLabel(field.control) + "\" (" + field.control +
               ") holds \"" + field.text + "\", but a value in the transcoder command line may " +
               "not hold " + cmdline::kSwitchValueBreakers + ", so no job was added.");
        return;
    }
    int code = -1;
    const int bitrate = CmbBitrateAudio.selectedData(code) ? jobs::BitrateForCode(code) : 0;
    const std::string wantedName = jobs::SettingsFileName(source, number);
    const std::optional<std::string> profile = settings::AudioProfileText(windows_, kind);
    const std::optional<std::string> settingsFile =
        profile ? jobs::CreateUniqueFile(wantedName, *profile) : std::nullopt;
    if (!settingsFile) {
        refuse("The job settings could not be written to \"" + wantedName +
               "\", so no job was added.");
        return;
    }
    LstJobAudio(0).addItem(jobs::FileNamePart(source));
    LstJobAudio(1).addItem(
        jobs::FormatJobRecord({*settingsFile, source, output, copyMarker, std::to_string(bitrate)}),
        number);
}

void MainWindow::CmdDelAudioJobList_Click() {
    ListBox& visible = LstJobAudio(0);
    if (visible.listIndex() < 0) {
        visible.setListIndex(visible.listCount() - 1);
    }
    const int i = visible.listIndex();
    if (i < 0) {
        return;
    }
    const jobs::JobRecord record = jobs::ParseJobRecord(LstJobAudio(1).list(i));
    if (settings::FileExist(record.settingsFile)) {
        settings::DeleteFile(record.settingsFile);
    }
    visible.removeItem(i);
    LstJobAudio(1).removeItem(i);
}

void MainWindow::RemoveJob(int index) {
    DeleteJobFiles(LstJobFile(1).list(index));
    LstJobFile(0).removeItem(index);
    LstJobFile(1).removeItem(index);
}

void MainWindow::DeleteJobFiles(const std::string& path) {
    if (!settings::FileExist(path)) {
        return;
    }
    const int count = ParseDecimal(settings::ReadIniValue("AUDIO", "Number", path)).value_or(0);
    for (int i = 1; i <= count; ++i) {
        const std::string file = settings::ReadIniValue("STREAM" + std::to_string(i), "File", path);
        if (!file.empty() && settings::FileExist(file)) {
            settings::DeleteFile(file);
        }
    }
    settings::DeleteFile(path);
}

} // namespace cantova::ui
