#pragma once

// What a job's table row says about its target, read from the job's own command line rather than
// from the window's drop-down lists (a rate typed into a field goes into the command as typed),
// and the transcoder's report on the sound it wrote.

#include "ui/job_kind.h"

#include <optional>
#include <string>
#include <string_view>

namespace cantova::jobs {

// "MP3 CBR 256 kbit/s", "MP3 ABR 192 kbit/s", "MP3 VBR", "OGG 96 kbit/s", "OGG q 5",
// "AC3 448 kbit/s", "WAV", for a job of that codec with that command line.
std::string TargetOfCommand(ui::Codec codec, std::string_view command);

// "5.1", "2.0", "1.0" for a count of channels (six are five and the low-frequency one); "N ch"
// for other counts.
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
