#pragma once

// What a job's table row says about its target, read from the job's own command line rather than
// from the window's drop-down lists (a rate typed into a field goes into the command as typed),
// and the transcoder's report on the sound it wrote.

#include "ui/job_kind.h"

#include <optional>
#include <string>
#include <string_view>

namespace cantova::jobs {

// "MP3 CBR 256 kbit/s", "MP3 ABR 192 kbit/s", "MP3 VBR", "Ogg ABR 96 kbit/s", "Ogg VBR (q 0.525)",
// "AC3 448 kbit/s", "WAV", "Opus VBR 128 kbit/s", "Opus CBR 256 kbit/s", "FLAC level 5", for a
// job of that codec with that command line.
std::string TargetOfCommand(ui::Codec codec, std::string_view command);

// An Ogg quality target with the bit rate it stands for: "Ogg VBR ~160 kbit/s (q 0.525)". Other
// targets, and a rate of 0, leave the text as it is.
std::string OggVbrTarget(std::string_view target, int kbps);

// "Loudness -16 LUFS / -1 dBTP", "Pre-Gain", "Post-Gain", "HybridGain" for the gain mode of the
// command's -ota group; empty for none.
std::string GainOfCommand(std::string_view command);

// True when the command's -azid group sets an output mode or its -opus group asks for stereo: both
// mix the source to two channels.
bool DownmixesToStereo(std::string_view command);

// "5.1", "2.0", "1.0" for a count of full-bandwidth channels (five are read as 3/2 with the
// low-frequency channel, the layout of a surround stream); "N ch" for other counts.
std::string ChannelLayoutName(int channels);

// The levels the transcoder measured in its output, from its line
// "sound: output: sample peak X dBFS, true peak Y dBTP, loudness Z LUFS, range R LU, clipped N".
struct SoundReport {
    double samplePeak = 0;
    double truePeak = 0;
    double loudness = 0;
    double range = 0;
    long clipped = 0;
};
std::optional<SoundReport> ParseSoundReport(std::string_view line);

// "-23.0 LUFS, true peak -1.2 dBTP".
std::string SoundReportText(const SoundReport& report);

} // namespace cantova::jobs
