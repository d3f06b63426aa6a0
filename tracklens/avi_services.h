#pragma once

// Frame rate, length and size-to-frame of an AVI file's first video stream.

#include <cstdint>
#include <optional>

namespace tracklens {

struct AviInfo {
    double fps = 1.0;
    std::int32_t frames = 0;
    std::int32_t seconds = 0;
};

// fps is the whole-number quotient rate / scale. A file that is not a readable AVI with a video
// stream, or whose scale or whole-number rate is 0, or whose length exceeds the 32-bit signed
// range, gives the unreadable result (1.0, 0, 0).
AviInfo ReadAviInfo(const char* path);

// The frame for filesize2frame with size >= 0: the key frame at or before the frame before the
// first one that takes the estimate past 99.5 % of size, -1 when there is none; nothing when no
// frame passes, or the file has no readable video stream and index.
std::optional<std::int32_t> FindFrameForSize(const char* path, std::int32_t size,
                                             std::int32_t kbps);

} // namespace tracklens
