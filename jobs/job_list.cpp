// Adding and deleting jobs, and moving them in the run order.

#include "jobs/job_list.h"

#include "cmdline/job_command.h"
#include "cmdline/output_name.h"
#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "jobs/job_record.h"
#include "jobs/source_duration.h"
#include "settings/audio_profile.h"
#include "settings/paths.h"
#include "ui/bitrate_defaults.h"
#include "ui/core_only_settings.h"
#include "ui/windows.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace cantova::jobs {

using ui::Codec;

namespace {

bool WritableFolder(const std::string& folder) {
    return access(folder.empty() ? "/" : folder.c_str(), W_OK | X_OK) == 0;
}

// "5.1 → 2.0" for a job whose output has fewer channels than its source (of which only an AC3
// source's count is known, in full-bandwidth channels); empty otherwise.
std::string ChannelChange(int sourceChannels, const Job& job, const std::string& command) {
    constexpr int kStereo = 2;
    int output = sourceChannels;
    switch (job.codec) {
    case Codec::Mp3:
        output = kStereo;
        break;
    case Codec::Ogg:
        output = command.find(" -6ch") != std::string::npos ? sourceChannels : kStereo;
        break;
    case Codec::Wav:
        output = JobOutputFiles(job.record()).size() == 6 ? sourceChannels : kStereo;
        break;
    case Codec::Ac3:
    case Codec::Opus:
    case Codec::Flac:
        output = DownmixesToStereo(command) ? kStereo : sourceChannels;
        break;
    }
    if (sourceChannels <= 0 || output >= sourceChannels) {
        return {};
    }
    return ChannelLayoutName(sourceChannels) + " \u2192 " + ChannelLayoutName(output);
}

// The bit rate an Ogg quality stands for: the rate chosen in the window where the quality is the
// one recommended for it, else the panel's estimate ("~ 161 Kbps"); 0 where neither is known.
int OggQualityRate(const ui::Windows& windows, int chosenKbps) {
    const std::optional<int> recommended = ui::OggQualityIndexOfRate(chosenKbps);
    if (recommended && *recommended == windows.frmPanelAudio.CmbQualityOGG.listIndex()) {
        return chosenKbps;
    }
    const std::string estimate = windows.frmPanelAudio.LbEstimate.caption();
    const std::size_t digit = estimate.find_first_of("0123456789");
    return digit == std::string::npos ? 0 : std::atoi(estimate.c_str() + digit);
}

} // namespace

std::optional<std::string> OutputFolderProblem(const std::string& source,
                                               const std::optional<std::string>& outputFolder) {
    if (outputFolder) {
        if (outputFolder->find('"') != std::string::npos) {
            return "The output folder \"" + *outputFolder +
                   "\" (TxtOutputFolder) holds a double quote (\"), which the transcoder command "
                   "line cannot carry: rename the folder or choose another";
        }
        if (!WritableFolder(*outputFolder)) {
            return "The output folder \"" + *outputFolder +
                   "\" (the setting \"Output Folder\", TxtOutputFolder) is no folder that can be "
                   "written";
        }
        return std::nullopt;
    }
    const auto slash = source.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : source.substr(0, slash);
    if (!WritableFolder(folder)) {
        return "The folder of the source \"" + source +
               "\" cannot be written (read-only media?): choose an output folder (the setting "
               "\"Output Folder\", TxtOutputFolder) for its outputs and job files";
    }
    return std::nullopt;
}

void JobList::refuse(const std::string& text) {
    messages_.Show(text, "Error", ui::MessageIcon::Exclamation);
}

void JobList::AddJob() {
    addJob(settings::Flush::Now);
}

void JobList::AddJobFlushedLater() {
    addJob(settings::Flush::Later);
}

void JobList::FlushAddedJobs() {
    for (const std::string& folder : unflushed_) {
        settings::FlushFileSystemOf(folder);
    }
    unflushed_.clear();
}

void JobList::makeOutputFolderAbsolute() {
    ui::TextBox& folder = windows_.frmMain.TxtOutputFolder;
    if (folder.text().empty() || folder.text().front() == '/') {
        return;
    }
    std::error_code error;
    std::string absolute =
        std::filesystem::absolute(folder.text(), error).lexically_normal().string();
    while (absolute.size() > 1 && absolute.back() == '/') {
        absolute.pop_back();
    }
    if (!error) {
        folder.setText(absolute);
    }
}

void JobList::addJob(settings::Flush flush) {
    makeOutputFolderAbsolute();
    const ui::MainWindow& w = windows_.frmMain;
    const std::string source = w.TxtStreamAudio.text();
    if (!settings::FileExist(source)) {
        refuse("The source file \"" + source + "\" cannot be read any more, so no job was added.");
        return;
    }
    // Only a loaded profile or a program assignment can leave a greyed-out target chosen.
    const std::optional<Codec> codec = ui::ChosenCodec(w);
    if (!codec || !w.OptAudioCodec[static_cast<int>(*codec)].enabled()) {
        refuse("The chosen target cannot be used with this source, so no job was added. Choose "
               "another target.");
        return;
    }
    const std::optional<std::string> outputFolder = cmdline::ChosenOutputFolder(windows_);
    if (const std::optional<std::string> problem = OutputFolderProblem(source, outputFolder)) {
        if (!outputFolder && askOutputFolder_ && !askingOutputFolder_) {
            askingOutputFolder_ = true;
            askOutputFolder_(source, [this](std::string folder) {
                askingOutputFolder_ = false;
                if (folder.empty()) {
                    return;
                }
                windows_.frmMain.TxtOutputFolder.setText(folder);
                AddJob();
            });
            return;
        }
        refuse(*problem + ", so no job was added.");
        return;
    }
    Job job;
    job.kind = ui::JobKindOf(w);
    job.codec = *codec;
    job.number = queue_.nextNumber();
    job.source = source;
    job.track = w.ChosenSourceTrack();
    // Outputs named after their source must not meet the output of a job already in the list.
    job.outputArgument =
        cmdline::BuildOutputName(windows_, job.number, [this](const std::string& path) {
            // A WAV job's mono files are named after its output path, so comparing those is enough.
            return std::any_of(queue_.jobs().begin(), queue_.jobs().end(), [&](const Job& other) {
                return OutputPathOf(other.outputArgument) == path;
            });
        });
    if (job.outputArgument.empty()) {
        refuse("No output file name can be formed for \"" + source + "\", so no job was added.");
        return;
    }
    // A container's AC3 track kept as it is gets its frames copied out by the transcoder.
    if (cmdline::KeepsAc3Frames(w) && job.track == 0) {
        job.copy = true;
        job.outputArgument = "\"" + source + "\"";
    }
    // A copy job starts no transcoder, so only the others' typed values reach a command line.
    cmdline::TypedValueCheck typed;
    std::string command;
    if (!job.copy) {
        command = cmdline::BuildJobCommand(windows_, job.kind, {source, job.track},
                                           job.outputArgument, &typed);
        job.target = job.track > 0 && cmdline::KeepsAc3Frames(w) ? std::string("AC3 copy")
                                                                 : TargetOfCommand(*codec, command);
        job.gain = GainOfCommand(command);
        for (const std::string& label : ui::SettingsNotApplied(w)) {
            job.notApplied += (job.notApplied.empty() ? "" : ", ") + label;
        }
    }
    if (!typed.refusedFields().empty()) {
        const cmdline::TypedValueCheck::Field& field = typed.refusedFields().front();
        refuse("The setting \"" + ui::TypedFieldLabel(field.control) + "\" (" + field.control +
               ") holds \"" + field.text + "\", which " + field.problem +
               ": the transcoder cannot run it, so no job was added.");
        return;
    }
    int code = -1;
    job.targetBitrate = w.CmbBitrateAudio.selectedData(code) ? BitrateForCode(code) : 0;
    if (*codec == Codec::Ogg) {
        job.target = OggVbrTarget(job.target, OggQualityRate(windows_, job.targetBitrate));
    }
    job.sourceSeconds = EstimateSourceSeconds(source, w.BitRateAC3);
    // A probed track knows its length; a container's size says nothing about it.
    const int trackIndex = w.CmbSourceTrack.listIndex();
    if (trackIndex >= 0 && trackIndex < static_cast<int>(windows_.program.SourceTracks.size())) {
        job.sourceSeconds =
            windows_.program.SourceTracks[static_cast<std::size_t>(trackIndex)].seconds;
    }
    const std::string wantedName = SettingsFileName(source, job.number, outputFolder);
    const std::optional<std::string> profile = settings::AudioProfileText(windows_, job.kind);
    const settings::Flush written = filesOutliveCrash_ ? flush : settings::Flush::Later;
    const std::optional<std::string> settingsFile =
        profile ? CreateUniqueFile(wantedName, *profile, written) : std::nullopt;
    if (!settingsFile) {
        refuse("The job settings could not be written to \"" + wantedName +
               "\", so no job was added.");
        return;
    }
    job.settingsFile = *settingsFile;
    if (!job.copy) {
        job.channels = ChannelChange(windows_.program.Ac3Channels, job, command);
    }
    if (filesOutliveCrash_ && flush == settings::Flush::Later) {
        unflushed_.insert(std::filesystem::path(*settingsFile).parent_path().string());
    }
    queue_.append(std::move(job));
}

void JobList::DeleteJob() {
    if (queue_.selectedIndex() < 0) {
        queue_.select(queue_.count() - 1);
    }
    const int i = queue_.selectedIndex();
    if (i < 0) {
        return;
    }
    const std::string settingsFile = queue_.at(i).settingsFile;
    if (settings::FileExist(settingsFile)) {
        settings::DeleteFile(settingsFile);
    }
    queue_.remove(i);
}

void JobList::DiscardSettingsFiles() {
    for (const Job& job : queue_.jobs()) {
        settings::DeleteFile(job.settingsFile);
    }
}

void JobList::MoveSelected(int offset) {
    queue_.move(queue_.selectedIndex(), offset);
}

} // namespace cantova::jobs
