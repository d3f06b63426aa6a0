#include "cmdline/job_command.h"

#include "cmdline/argument_quoting.h"
#include "cmdline/channel_flag.h"
#include "cmdline/option_groups.h"
#include "cmdline/output_name.h"
#include "settings/paths.h"
#include "ui/windows.h"

#include <vector>

namespace cantova::cmdline {

namespace {

using GroupBuilder = std::string (*)(const ui::Windows&, TypedValueCheck*);

std::vector<GroupBuilder> GroupsOfKind(ui::JobKind jobKind) {
    using ui::JobKind;
    switch (jobKind) {
    case JobKind::Mp3:
        return {BuildOtaGroup, BuildBoostGroup, BuildLameGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::Mp3FromAc3:
        return {BuildOtaGroup,  BuildAzidGroup, BuildBoostGroup,
                BuildLameGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::OggFromAc3:
        return {BuildOtaGroup, BuildAzidGroup, BuildBoostGroup,
                BuildOggGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::Ac3:
        return {BuildOtaGroup,    BuildAzidGroup, BuildBoostGroup,
                BuildAc3EncGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::Ogg:
        return {BuildOtaGroup, BuildOggGroup, BuildBoostGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::WavFromAc3:
        return {BuildOtaGroup, BuildAzidGroup, BuildBoostGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::Wav:
        return {};
    case JobKind::Opus:
        return {BuildOtaGroup, BuildBoostGroup, BuildOpusGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::OpusFromAc3:
        return {BuildOtaGroup,  BuildAzidGroup, BuildBoostGroup,
                BuildOpusGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::Flac:
        return {BuildOtaGroup, BuildBoostGroup, BuildFlacGroup, BuildSsrcGroup, BuildSplitGroup};
    case JobKind::FlacFromAc3:
        return {BuildOtaGroup,  BuildAzidGroup, BuildBoostGroup,
                BuildFlacGroup, BuildSsrcGroup, BuildSplitGroup};
    }
    return {};
}

} // namespace

bool KeepsAc3Frames(const ui::MainWindow& main) {
    return ui::ChosenCodec(main) == ui::Codec::Ac3 && main.ChkAC3Reencode.value() != 1;
}

std::string BuildJobCommand(const ui::Windows& windows, ui::JobKind jobKind,
                            const JobSource& source, const std::string& outputArgument,
                            TypedValueCheck* check, const std::string& logPath) {
    const std::string log = logPath.empty() ? settings::TranscoderLogPath() : logPath;
    const std::string track =
        source.track > 0 ? " -track " + std::to_string(source.track) : std::string();
    std::string command = windows.program.TranscoderPath + " -core( -input " +
                          QuoteArgument(source.path) + track + " -output " + outputArgument +
                          " -logfilea " + QuoteArgument(log) + " )";
    if (source.track > 0 && KeepsAc3Frames(windows.frmMain)) {
        return command;
    }
    for (GroupBuilder build : GroupsOfKind(jobKind)) {
        command += build(windows, check);
    }
    return command;
}

std::optional<std::string> BuildCommandOfSettings(const ui::Windows& windows, int jobNumber,
                                                  const std::string& logPath) {
    std::string output = BuildOutputName(windows, jobNumber);
    if (output.empty()) {
        return std::nullopt;
    }
    if (ui::ChosenCodec(windows.frmMain) == ui::Codec::Wav) {
        output += ChannelFlag(windows);
    }
    return BuildJobCommand(
        windows, ui::JobKindOf(windows.frmMain),
        JobSource(windows.frmMain.TxtStreamAudio.text(), windows.frmMain.ChosenSourceTrack()),
        output, nullptr, logPath);
}

} // namespace cantova::cmdline
