#include "jobs/job_command_line.h"

#include "cmdline/channel_flag.h"
#include "cmdline/job_command.h"
#include "settings/audio_profile.h"
#include "ui/windows.h"

namespace cantova::jobs {

std::string CommandOfRestoredJob(const ui::Windows& windows, const Job& job, ui::JobKind kind,
                                 const std::string& logPath) {
    std::string output = job.outputArgument;
    if (ui::ChosenCodec(windows.frmMain) == ui::Codec::Wav) {
        output += cmdline::ChannelFlag(windows);
    }
    return cmdline::BuildJobCommand(windows, kind, {job.source, job.track}, output, nullptr,
                                    logPath);
}

std::optional<std::string> CommandLineOfJob(const Job& job, const std::string& transcoderPath) {
    if (job.copy) {
        return std::nullopt;
    }
    ui::SilentMessageBoxes silent;
    ui::Windows windows(silent);
    windows.frmMain.Form_Load();
    windows.program.TranscoderPath = transcoderPath;
    const settings::AudioProfileLoad load = settings::LoadAudioProfile(windows, job.settingsFile);
    if (!load.readable || !load.jobKind) {
        return std::nullopt;
    }
    return CommandOfRestoredJob(windows, job, *load.jobKind);
}

} // namespace cantova::jobs
