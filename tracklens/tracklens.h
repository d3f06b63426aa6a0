#ifndef TRACKLENS_TRACKLENS_H
#define TRACKLENS_TRACKLENS_H

/* Media information library: AC3 stream header, AVI frame rate and length, the AVI frame at which
 * a target size is reached, file sizes and the library's version text. Keeps no state between
 * calls and no file open after a call returns.
 *
 * Only regular files are read (symbolic links are followed): a folder, a FIFO, a device or a
 * socket, like a missing file or a null path, counts as a file that cannot be opened, and opening
 * never waits. A null pointer for an output is never written through; each function says what it
 * returns then. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TRACKLENS_BUILDING_LIBRARY)
#define TRACKLENS_EXPORT __attribute__((visibility("default")))
#else
#define TRACKLENS_EXPORT
#endif

/* What GetAc3Info reports about an AC3 stream; 12 bytes, owned by the caller. */
typedef struct AC3_INFO {
    int32_t Bitrate;    /* kbit/s, 32 to 640; 0 for a frame-size code outside the table */
    int32_t Channels;   /* full-bandwidth channels of the audio coding mode, LFE not counted */
    int32_t SampleRate; /* Hz: 48000, 44100, 32000, or 0 for the reserved code */
} AC3_INFO;

/* Finds the first AC3 sync word at any bit offset within the first 16 MiB of the file (a stream
 * starts with a frame; that much data without one is no AC3 stream) and decodes its header into
 * info. Returns 1 when info was filled, 0 when info is null, the file cannot be opened or holds
 * no sync word there (info is then left untouched). */
TRACKLENS_EXPORT int GetAc3Info(char* path, AC3_INFO* info);

/* Frame rate (whole frames per second), frame count and whole seconds of the first video stream.
 * A file that cannot be read as an AVI with a video stream gives 1.0, 0 and 0. Always returns 0;
 * when any of the three outputs is null, none is written. */
TRACKLENS_EXPORT int get_avi_info(char* path, double* fps, int32_t* frames, int32_t* seconds);

/* The key frame at or before the last frame that keeps the video plus an audio track of kbps
 * kbit/s within 99.5 % of size bytes, or -1 when there is none. frame is left untouched when no
 * frame passes the limit or the file has no readable video stream and index. Returns -1 for a
 * negative size or a null frame (frame untouched), else 0. */
TRACKLENS_EXPORT int filesize2frame(char* path, int32_t size, int32_t kbps, int32_t* frame);

/* Size of the file in bytes. Returns 0, or -1 (size untouched) when size is null, the file cannot
 * be opened or its size does not fit in 31 bits. */
TRACKLENS_EXPORT int getfilesize(char* path, int32_t* size);

/* The library's version text, "1.05"; owned by the library. */
TRACKLENS_EXPORT const char* get_version(void);

#ifdef __cplusplus
}
#endif

#endif
