#include "jobs/job_command_line.h"

#include "cmdline/channel_flag.h"
#include "cmdline/job_command.h"
#include "settings/audio_profile.h"
#include "ui/windows.h"

namespace cantova::jobs {

namespace {

// Nobody sees the scratch windows, so nobody is told or asked anything.
class SilentMessages final : public ui::MessageBoxes {
public:
    void Show(const std::string&, const std::string&, ui::MessageIcon) override {}
    bool Ask(const std::string&, const std::string&) override { return false; }
};

} // namespace

std::string CommandOfRestoredJob(const ui::Windows& windows, const Job& job, ui::JobKind kind,
                                 const std::string& logPath) {
    std::string output = job.outputArgument;
    if (ui::ChosenCodec(windows.frmMain) == ui::Codec::Wav) {
        output += cmdline::ChannelFlag(windows);
    }
    return cmdline::BuildJobCommand(windows, kind, job.source, output, nullptr, logPath);
}

std::string CommandLineOfJob(const Job& job, const std::string& transcoderPath) {
    if (job.copy) {
        return {};
    }
    SilentMessages messages;
    ui::Windows scratch(messages);
    scratch.frmMain.Form_Load();
    scratch.program.TranscoderPath = transcoderPath;
    const settings::AudioProfileLoad load = settings::LoadAudioProfile(scratch, job.settingsFile);
    if (!load.readable || !load.jobKind) {
        return {};
    }
    return CommandOfRestoredJob(scratch, job, *load.jobKind);
}

} // namespace cantova::jobs
