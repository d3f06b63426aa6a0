#pragma once

// A job's transcoder command line read back: the parts of its core group, and the profile keys
// whose values make the option groups exactly as the line has them.

#include "settings/ini_file.h"
#include "ui/job_kind.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova::cmdline {

struct CommandReading {
    // Why the line cannot be read, naming the part; empty when it was read.
    std::string problem;
    // The transcoder's path as the line writes it.
    std::string programWord;
    std::string source;
    // The audio track of a container source (" -track N"), 0 when the line names none.
    int track = 0;
    std::string output;
    // The WAV channel switch behind the output (" -6ch" and the like), empty when there is none.
    std::string channelFlag;
    std::string log;
    // The target, from the output's extension, and the job number in the output's name.
    std::optional<ui::Codec> codec;
    int jobNumber = 0;
    // The keys the line decides, "SECTION", "KEY", value; keys the line says nothing about are not
    // among them.
    std::vector<settings::IniEntry> settings;
    // A bit rate in kbit/s that the line names for the target, for the bit-rate list.
    std::optional<int> rateKbps;
};

CommandReading ReadJobCommand(const std::string& line);

// The first part of line that rebuilt does not have, said for the user; nothing when rebuilt is
// the same line. The core groups are compared by their arguments, the option groups as text.
std::optional<std::string> CommandDifference(const std::string& line, const std::string& rebuilt);

} // namespace cantova::cmdline
