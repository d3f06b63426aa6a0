#pragma once

#include "channel_mix.h"
#include "job_request.h"
#include "target_plan.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// What the processing filters need beyond the command line itself.
struct FilterContext {
    OutputChannels channels = OutputChannels::AsSource;
    ChannelNames sourceChannels; // as the decoder delivers them
    double delayMs = 0.0;        // after "-d auto" has been resolved
    double dialogueGainDb = 0.0; // from the source's dialogue level when -n1 is given
    bool soxrAvailable = false;
    // The rate to resample to: the job's --rate as far as the target can carry it; empty
    // when the job does not resample.
    std::optional<int> resampleRate;
};

// The ffmpeg audio filters of the job, in processing order: split, delay, dialogue level,
// channel layout, manual gain, boost, resampling. All of them work on 32-bit float samples,
// whatever follows them, so that a measuring pass sees exactly the samples the encoding pass
// encodes and no intermediate step clips. Notes for the log are appended to notes.
std::vector<std::string> processingFilters(const JobRequest& job, const FilterContext& context,
                                           std::vector<std::string>& notes);

// The filter that applies a gain in dB.
std::string gainFilter(double gainDb);

// Filters joined into one ffmpeg filter chain; "anull" when there are none.
std::string joinFilters(const std::vector<std::string>& filters);

} // namespace cantova
