#include "command/target_plan.h"

#include "command/command_line_error.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

namespace cantova {

bool copiesTrackFrames(const JobRequest& job) {
    std::string extension = std::filesystem::path(job.core.output).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return job.core.track && extension == ".ac3" && !job.ota && !job.azid && !job.boost &&
           !job.lame && !job.ogg && !job.ac3enc && !job.opus && !job.flac && !job.ssrc &&
           !job.split;
}

Target targetOf(const JobRequest& job) {
    std::string extension = std::filesystem::path(job.core.output).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    Target target;
    bool groupFits = true;
    if (extension == ".mp3") {
        target = Target::Mp3;
        groupFits = job.lame.has_value();
    } else if (extension == ".ogg") {
        target = Target::Ogg;
        groupFits = job.ogg.has_value();
    } else if (extension == ".ac3") {
        target = Target::Ac3;
        groupFits = job.ac3enc.has_value() || copiesTrackFrames(job);
    } else if (extension == ".wav") {
        target = Target::Wav;
        groupFits = !job.lame && !job.ogg && !job.ac3enc && !job.opus && !job.flac;
    } else if (extension == ".opus") {
        target = Target::Opus;
        groupFits = job.opus.has_value();
    } else if (extension == ".flac") {
        target = Target::Flac;
        groupFits = job.flac.has_value();
    } else {
        throw CommandLineError("the output \"" + job.core.output +
                               "\" has none of the extensions .mp3, .ogg, .ac3, .wav, .opus, "
                               ".flac");
    }
    if (!groupFits) {
        throw CommandLineError("the encoder group does not fit the output \"" + job.core.output +
                               "\"");
    }
    if (target != Target::Wav && job.core.wavChannels != WavChannels::Unspecified) {
        throw CommandLineError("a channel flag is given for an output that is not WAV");
    }
    return target;
}

bool isLossy(Target target) {
    return target != Target::Wav && target != Target::Flac;
}

OutputChannels outputChannelsOf(const JobRequest& job, Target target) {
    switch (target) {
    case Target::Mp3:
        return OutputChannels::Stereo;
    case Target::Ogg:
        return job.ogg->sixChannels ? OutputChannels::FiveOne : OutputChannels::Stereo;
    case Target::Ac3:
        return job.azid && job.azid->stereoMode ? OutputChannels::Stereo : OutputChannels::AsSource;
    case Target::Opus:
        return job.opus->stereo || (job.azid && job.azid->stereoMode) ? OutputChannels::Stereo
                                                                      : OutputChannels::AsSource;
    case Target::Flac:
        return OutputChannels::AsSource;
    case Target::Wav:
        switch (job.core.wavChannels) {
        case WavChannels::Stereo:
            return OutputChannels::Stereo;
        case WavChannels::SixChannelFile:
        case WavChannels::SixMonoFiles:
            return OutputChannels::FiveOne;
        case WavChannels::Unspecified:
            return OutputChannels::AsSource;
        }
    }
    return OutputChannels::AsSource;
}

int targetSampleRate(Target target, int requested) {
    constexpr std::array<int, 3> kAc3Rates = {48000, 44100, 32000};
    constexpr std::array<int, 5> kOpusRates = {48000, 24000, 16000, 12000, 8000};
    const auto nearest = [&](const auto& rates) {
        return *std::min_element(rates.begin(), rates.end(), [&](int a, int b) {
            return std::abs(a - requested) < std::abs(b - requested);
        });
    };
    switch (target) {
    case Target::Ac3:
        return nearest(kAc3Rates);
    case Target::Opus:
        return nearest(kOpusRates);
    default:
        return requested;
    }
}

} // namespace cantova
