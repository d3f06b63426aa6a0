// Feeds arbitrary files to the AC3 probe.

#include "ac3_probe.h"
#include "memory_file.h"
#include "open_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile memory;
    const tracklens::OpenFile file(memory.Hold(data, size));
    if (const auto format = tracklens::ProbeAc3(file.Descriptor())) {
        // A frame-size code outside the table must give 0, never a rate read from elsewhere.
        if (format->averageBytesPerSecond > 640 * 125 || format->channels > 5 ||
            format->channels < 1) {
            std::abort();
        }
    }
    return 0;
}
