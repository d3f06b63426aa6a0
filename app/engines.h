#pragma once

// The programs the transcoder runs for its work (its engines), looked for as it looks for them:
// by name along the search path.

#include <optional>
#include <string>
#include <vector>

namespace cantova::app {

struct Engine {
    std::string program;
    // The Debian package that holds it.
    std::string package;
};

// The engines that no folder of searchPath (a PATH value; unset means "/bin:/usr/bin", as for
// the transcoder's own search) holds as an executable file.
std::vector<Engine> MissingEngines(const char* searchPath);

// A message naming each missing engine and its package; nothing when none is missing.
std::optional<std::string> MissingEnginesNotice(const std::vector<Engine>& missing);

} // namespace cantova::app
