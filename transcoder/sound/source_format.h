#pragma once

#include "command/job_request.h"
#include "command/source_name.h"
#include "sound/channel_mix.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// What the processing needs to know of the audio stream the job reads.
struct SourceInfo {
    int sampleRate = 0;
    ChannelNames channels;
    // Decoded as 16-bit samples: a 16-bit output of them needs no reduction (and no dither)
    // as long as no filter changes them.
    bool sixteenBit = false;
    // The bits of an uncoded (PCM) source's samples, 32 for float, or those a lossless coder
    // (FLAC and the like) keeps; 0 for a lossy coder.
    int pcmBits = 0;
    // Decoded as float (a lossy decoder's samples, float PCM): samples beyond full scale are
    // overs the decoder gives, not flat tops.
    bool floatSamples = false;
};

// The most channels a source may have: those of the largest layout ffmpeg names (22.2).
inline constexpr int kMostSourceChannels = 24;

// Reads the first frame's description that ffmpeg's ashowinfo filter reports ("fmt:s16
// channels:6 chlayout:5.1(side) rate:48000"); nothing when there is none or it is unusable.
std::optional<SourceInfo> readSourceProbe(const std::string& report);

// Why the program cannot take a source whose first frame ffmpeg described, as the end of a
// sentence that begins with the source's name ("has a sample rate of 1 Hz; ..."); nothing when
// readSourceProbe takes it or there is no description.
std::optional<std::string> refusedSourceReason(const std::string& report);

// How much later than the picture a container's audio track (from 1) starts, in milliseconds
// (negative: earlier), from ffprobe's "index,kind,start,attached picture" lines of the streams
// (the first line of each index counts): the track's start less the first video stream's.
// Nothing without a video stream or a start.
std::optional<double> trackStartDelayMs(const std::string& streamStarts, int track);

// The options placed before "-i" for this source: the raw format of an LPCM file, and the
// AC3 decoder's dynamic range settings (for an .ac3 file, and for a track of a container, which
// may be AC3 or E-AC3; other decoders leave them unused).
std::vector<std::string> sourceReadArguments(const std::string& path,
                                             const std::optional<AzidOptions>& azid,
                                             bool containerTrack = false);

} // namespace cantova
