#pragma once

#include "command/job_request.h"

#include <optional>
#include <span>
#include <string>

namespace cantova {

// Reads the words after the program name into a job; throws CommandLineError for an
// unknown word or switch, an unclosed or repeated group, or a switch without its value.
JobRequest parseCommandLine(std::span<const std::string> words);

// The log named after "-logfilea", looked up without judging the rest, so that a command
// line that is refused can still be reported in the log it names.
std::optional<std::string> findLogFile(std::span<const std::string> words);

} // namespace cantova
