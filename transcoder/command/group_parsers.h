#pragma once

#include "command/group_reader.h"
#include "command/job_request.h"

// One parser per option group; each reads the group's switches up to its ")".
namespace cantova {

CoreOptions parseCoreGroup(GroupReader& reader);
std::optional<OtaOptions> parseOtaGroup(GroupReader& reader);
AzidOptions parseAzidGroup(GroupReader& reader);
std::optional<BoostOptions> parseBoostGroup(GroupReader& reader);
LameOptions parseLameGroup(GroupReader& reader);
OggOptions parseOggGroup(GroupReader& reader);
Ac3EncOptions parseAc3EncGroup(GroupReader& reader);
OpusOptions parseOpusGroup(GroupReader& reader);
FlacOptions parseFlacGroup(GroupReader& reader);
std::optional<SsrcOptions> parseSsrcGroup(GroupReader& reader);
SplitOptions parseSplitGroup(GroupReader& reader);

// Shared value readers: they throw a CommandLineError naming the switch.
double decimalValue(GroupReader& reader, const std::string& switchName);
int positiveIntegerValue(GroupReader& reader, const std::string& switchName);
// "3db", "-3dB", "-3" (decibels) or "150%" as a linear factor.
double levelFactorValue(GroupReader& reader, const std::string& switchName, bool allowPercent);

} // namespace cantova
