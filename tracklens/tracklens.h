#ifndef TRACKLENS_TRACKLENS_H
#define TRACKLENS_TRACKLENS_H

/* Media information library: AC3 stream header, the audio tracks of a media file, AVI frame rate
 * and length, the AVI frame at which a target size is reached, file sizes and the library's
 * version text. Keeps no state between
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

/* One audio track of a media file, as ListAudioTracks reports it; 192 bytes, owned by the caller.
 * Texts are zero-terminated UTF-8, cut to their arrays; an unknown number is 0. */
typedef struct TRACKLENS_AUDIO_TRACK {
    int32_t Number;      /* from 1, in the file's order of audio tracks */
    char Codec[16];      /* "AC3", "E-AC3", "DTS", "TrueHD", "AAC", "FLAC", "MP2", "LPCM", ... */
    int32_t Channels;    /* all channels, low-frequency ones included */
    int32_t LfeChannels; /* low-frequency channels among them */
    char Layout[8];      /* "5.1", "7.1", "2.0": the other channels, then the low-frequency ones */
    int32_t SampleRate;  /* Hz */
    int32_t Bitrate;     /* kbit/s, 0 where the file does not tell */
    char Language[8];    /* as tagged ("eng", "de"); empty when untagged or undetermined */
    char Title[128];
    int32_t IsDefault;  /* 1 for a track marked as the default one */
    int32_t StartMs;    /* start after the first video track's start (negative: before it); 0
                           without a video track */
    int32_t DurationMs; /* how long the track plays, as far as the headers tell; 0 unknown */
} TRACKLENS_AUDIO_TRACK;

/* Reads the headers of a container (MKV, MP4, MPEG-TS, MPEG-PS, AVI, ...) or a raw audio stream
 * and describes its audio tracks. Only the first megabytes are read, and a file that keeps the
 * reader busy for seconds is given up. Writes the number of audio tracks to count and the first of
 * them, up to capacity, to tracks; returns 1. Returns 0 when count is null, tracks is null with a
 * positive capacity, or the file cannot be opened or read as media (nothing is written then). */
TRACKLENS_EXPORT int ListAudioTracks(char* path, TRACKLENS_AUDIO_TRACK* tracks, int32_t capacity,
                                     int32_t* count);

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

/* The library's version text, "1.06"; owned by the library. */
TRACKLENS_EXPORT const char* get_version(void);

#ifdef __cplusplus
}
#endif

#endif
