#pragma once

#include "command/job_request.h"

#include <string>

namespace cantova {

enum class Target { Mp3, Ogg, Ac3, Wav, Opus, Flac };
enum class OutputChannels { Stereo, FiveOne, AsSource };

// The target named by the output's extension; throws CommandLineError when the extension is
// unknown or the encoder group does not fit it.
Target targetOf(const JobRequest& job);

// The job copies the frames of a container's AC3 track into an .ac3 output as they are: a core
// group with -track and an .ac3 output, and no other group.
bool copiesTrackFrames(const JobRequest& job);

// Whether the target's decoded samples differ from the ones encoded.
bool isLossy(Target target);

// How many channels the target gets: MP3 is always stereo; Vorbis keeps 5.1 only with -6ch;
// AC3 and Opus become stereo when the Azid group asks for a stereo mode (Opus also with its own
// -s); WAV follows the channel flag; FLAC keeps the source's channels.
OutputChannels outputChannelsOf(const JobRequest& job, Target target);

// The rate the target is written at when the job resamples to `requested` Hz: AC3 carries
// 48000, 44100 and 32000 Hz only, Opus 48000, 24000, 16000, 12000 and 8000 Hz only, and each
// takes the nearest of its rates; the other targets take any.
int targetSampleRate(Target target, int requested);

} // namespace cantova
