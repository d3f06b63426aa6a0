#pragma once

#include "command/job_request.h"

#include <string>

namespace cantova {

enum class Target { Mp3, Ogg, Ac3, Wav };
enum class OutputChannels { Stereo, FiveOne, AsSource };

// The target named by the output's extension; throws CommandLineError when the extension is
// unknown or the encoder group does not fit it.
Target targetOf(const JobRequest& job);

// The job copies the frames of a container's AC3 track into an .ac3 output as they are: a core
// group with -track and an .ac3 output, and no other group.
bool copiesTrackFrames(const JobRequest& job);

// How many channels the target gets: MP3 is always stereo; Vorbis keeps 5.1 only with -6ch;
// AC3 becomes stereo when the Azid group asks for a stereo mode; WAV follows the channel flag.
OutputChannels outputChannelsOf(const JobRequest& job, Target target);

// The rate the target is written at when the job resamples to `requested` Hz: AC3 carries
// 48000, 44100 and 32000 Hz only and takes the nearest of them; the other targets take any.
int targetSampleRate(Target target, int requested);

} // namespace cantova
