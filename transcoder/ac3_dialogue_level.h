#pragma once

#include <optional>
#include <string>

namespace cantova {

// The dialogue level (dialnorm, 1 to 31, meaning -1 to -31 dBFS) of the first AC3 frame in
// the file, or nothing when no AC3 frame header is found near its start.
std::optional<int> readAc3DialogueLevel(const std::string& path);

// The gain in dB that brings dialogue of the given level to -31 dBFS.
double dialogueNormalisationGainDb(int dialogueLevel);

} // namespace cantova
