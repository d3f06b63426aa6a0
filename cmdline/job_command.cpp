#include "cmdline/job_command.h"

#include "cmdline/argument_quoting.h"
#include "cmdline/option_groups.h"
#include "settings/paths.h"
#include "ui/windows.h"

#include <vector>

namespace cantova::cmdline {

namespace {

using GroupBuilder = std::string (*)(const ui::Windows&, TypedValueCheck*);

std::vector<GroupBuilder> GroupsOfKind(int jobKind) {
    switch (jobKind) {
    case 0:
        return {BuildOtaGroup, BuildBoostGroup, BuildLameGroup, BuildSsrcGroup, BuildSplitGroup};
    case 1:
        return {BuildOtaGroup,  BuildAzidGroup, BuildBoostGroup,
                BuildLameGroup, BuildSsrcGroup, BuildSplitGroup};
    case 2:
        return {BuildOtaGroup, BuildAzidGroup, BuildBoostGroup,
                BuildOggGroup, BuildSsrcGroup, BuildSplitGroup};
    case 3:
        return {BuildOtaGroup,    BuildAzidGroup, BuildBoostGroup,
                BuildAc3EncGroup, BuildSsrcGroup, BuildSplitGroup};
    case 4:
        return {BuildOtaGroup, BuildOggGroup, BuildBoostGroup, BuildSsrcGroup, BuildSplitGroup};
    case 5:
        return {BuildOtaGroup, BuildAzidGroup, BuildBoostGroup, BuildSsrcGroup, BuildSplitGroup};
    default:
        return {};
    }
}

} // namespace

std::string BuildJobCommand(const ui::Windows& windows, int jobKind, const std::string& source,
                            const std::string& outputArgument, TypedValueCheck* check) {
    std::string command = windows.program.TranscoderPath + " -core( -input " +
                          QuoteArgument(source) + " -output " + outputArgument + " -logfilea " +
                          QuoteArgument(settings::TranscoderLogPath()) + " )";
    for (GroupBuilder build : GroupsOfKind(jobKind)) {
        command += build(windows, check);
    }
    return command;
}

} // namespace cantova::cmdline
