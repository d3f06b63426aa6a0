// Feeds arbitrary files to the AVI services.

#include "avi_services.h"
#include "memory_file.h"

#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile memory;
    const char* path = memory.Hold(data, size);
    const tracklens::AviInfo info = tracklens::ReadAviInfo(path);
    if (info.fps < 1.0 || info.frames < 0 || info.seconds < 0) {
        std::abort();
    }
    // A target no file reaches walks the whole index; a small one stops early.
    for (const std::int32_t target : {std::numeric_limits<std::int32_t>::max(), 5000}) {
        const auto frame = tracklens::FindFrameForSize(path, target, 192);
        if (frame && (*frame < -1 || *frame >= info.frames)) {
            std::abort();
        }
    }
    return 0;
}
