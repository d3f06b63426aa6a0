#pragma once

#include <cstdint>
#include <string>

namespace cantova::ui {

// The values that belong to the program rather than to one window.
struct ProgramValues {
    // Channel count and sampling rate of the chosen AC3 source, 0 while none is known.
    std::int32_t Ac3Channels = 0;
    std::int32_t Ac3Frequency = 0;
    // Head of every transcoder command line, set once at start-up.
    std::string TranscoderPath;
    // Set when the main window has been unloaded: the program ends.
    bool ended = false;
};

} // namespace cantova::ui
