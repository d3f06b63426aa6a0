// The library's six exported functions, with C linkage.

#include "tracklens/tracklens.h"

#include "tracklens/library_name.h"

#include "ac3_probe.h"
#include "audio_tracks.h"
#include "avi_services.h"
#include "file_size.h"
#include "open_file.h"

#include <algorithm>

// The record's layout is part of the interface.
static_assert(sizeof(TRACKLENS_AUDIO_TRACK) == 192);

extern "C" {

int GetAc3Info(char* path, AC3_INFO* info) {
    if (info == nullptr) {
        return 0;
    }
    const tracklens::OpenFile file(path);
    if (!file.IsOpen()) {
        return 0;
    }
    const std::optional<tracklens::Ac3WaveFormat> format = tracklens::ProbeAc3(file.Descriptor());
    if (!format) {
        return 0;
    }
    info->Bitrate = static_cast<std::int32_t>(format->averageBytesPerSecond * 8 / 1000);
    info->Channels = format->channels;
    info->SampleRate = static_cast<std::int32_t>(format->samplesPerSecond);
    return 1;
}

int ListAudioTracks(char* path, TRACKLENS_AUDIO_TRACK* tracks, int32_t capacity, int32_t* count) {
    if (count == nullptr || (tracks == nullptr && capacity > 0)) {
        return 0;
    }
    const tracklens::OpenFile file(path);
    if (!file.IsOpen()) {
        return 0;
    }
    const auto found = tracklens::ListAudioTracksOf(file.Descriptor());
    if (!found) {
        return 0;
    }
    const auto filled = std::min<std::size_t>(found->size(), capacity > 0 ? capacity : 0);
    std::copy_n(found->begin(), filled, tracks);
    *count = static_cast<int32_t>(found->size());
    return 1;
}

int get_avi_info(char* path, double* fps, int32_t* frames, int32_t* seconds) {
    if (fps == nullptr || frames == nullptr || seconds == nullptr) {
        return 0;
    }
    const tracklens::AviInfo info = tracklens::ReadAviInfo(path);
    *fps = info.fps;
    *frames = info.frames;
    *seconds = info.seconds;
    return 0;
}

int filesize2frame(char* path, int32_t size, int32_t kbps, int32_t* frame) {
    if (size < 0 || frame == nullptr) {
        return -1;
    }
    if (const std::optional<std::int32_t> found = tracklens::FindFrameForSize(path, size, kbps)) {
        *frame = *found;
    }
    return 0;
}

int getfilesize(char* path, int32_t* size) {
    if (size == nullptr) {
        return -1;
    }
    const std::optional<std::int32_t> bytes = tracklens::FileSize(path);
    if (!bytes) {
        return -1;
    }
    *size = *bytes;
    return 0;
}

const char* get_version(void) {
    return TRACKLENS_VERSION_TEXT;
}

} // extern "C"
