#pragma once

#include <string>

namespace cantova::app {

// The transcoder lives in "Cantova/Cantova" below the program's folder. There
// are no short names here, so a folder with a blank is written in double quotes.
std::string MakeTranscoderPath(const std::string& programFolder);

} // namespace cantova::app
