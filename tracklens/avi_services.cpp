#include "avi_services.h"

#include "avi_frame_index.h"
#include "avi_layout.h"
#include "open_file.h"

#include <cmath>
#include <limits>

namespace tracklens {

namespace {

std::optional<AviInfo> InfoOf(const AviVideoStream& video) {
    if (video.scale == 0 || video.rate / video.scale == 0 ||
        video.length > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    AviInfo info;
    info.fps = static_cast<double>(video.rate / video.scale);
    info.frames = static_cast<std::int32_t>(video.length);
    info.seconds = static_cast<std::int32_t>(info.frames / info.fps);
    return info;
}

} // namespace

AviInfo ReadAviInfo(const char* path) {
    const OpenFile file(path);
    if (!file.IsOpen()) {
        return {};
    }
    const std::optional<AviLayout> layout = ReadAviLayout(file);
    const std::optional<AviInfo> info = layout ? InfoOf(layout->video) : std::nullopt;
    return info.value_or(AviInfo{});
}

std::optional<std::int32_t> FindFrameForSize(const char* path, std::int32_t size,
                                             std::int32_t kbps) {
    const double audioBytesPerSecond = kbps > 0 ? (kbps / 8) * 1024.0 : 0.0;
    const OpenFile file(path);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    const std::optional<AviLayout> layout = ReadAviLayout(file);
    const std::optional<AviInfo> info = layout ? InfoOf(layout->video) : std::nullopt;
    if (!info || info->frames == 0) {
        return std::nullopt;
    }
    std::optional<AviFrameIndex> index = AviFrameIndex::Open(file, *layout);
    if (!index) {
        return std::nullopt;
    }
    const double limit = size * 0.995;
    const auto estimate = [&](std::int64_t videoBytes, std::int32_t frame) {
        return static_cast<double>(videoBytes) +
               std::trunc(frame * audioBytesPerSecond / info->fps);
    };
    std::int64_t videoBytes = 0;
    std::int32_t lastKeyFrame = -1; // the nearest key frame before frame i
    AviFrameEntry entry;
    std::int32_t i = 0;
    for (; i < info->frames && index->Next(entry); ++i) {
        videoBytes += entry.size;
        if (estimate(videoBytes, i) > limit) {
            return lastKeyFrame;
        }
        if (entry.keyFrame) {
            lastKeyFrame = i;
        }
    }
    // Frames the index does not list have no data and are no key frames: the estimate only
    // grows with the audio part, so the last frame tells whether any of them passes.
    if (i < info->frames && estimate(videoBytes, info->frames - 1) > limit) {
        return lastKeyFrame;
    }
    return std::nullopt;
}

} // namespace tracklens
