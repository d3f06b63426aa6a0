#pragma once

#include "command/job_request.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantova {

// A source's channels by ffmpeg's names ("FL", "LFE", "SL", ...), in the order the decoder
// delivers them.
using ChannelNames = std::vector<std::string>;

// The channels of a layout as ffprobe names it ("5.1(side)", "FL+FR+LFE"); a layout ffmpeg
// does not know ("unknown", "") is read as ffmpeg's default layout for the channel count,
// except that three channels are FL FR FC. Nothing when neither gives a layout of channelCount
// channels.
std::optional<ChannelNames> channelsOfLayout(std::string_view layout, int channelCount);

// A fixed mixing matrix: every output channel is a weighted sum of the source's channels.
struct ChannelMix {
    std::string outputLayout;         // "stereo" or "5.1(side)"
    std::vector<std::string> outputs; // output channel names, in order
    // gains[o][i]: the share of source channel i in output channel o, after the headroom scale.
    std::vector<std::vector<double>> gains;
    double headroomScale = 1.0; // the factor the nominal coefficients were multiplied by
};

// The gains of the centre and the surrounds in the plain stereo (Lo/Ro) downmix: -3 dB, or
// what an AC3 source's frame header asks for.
struct StereoMixLevels {
    double centre = 0.7071067811865476;
    double surround = 0.7071067811865476;
};

// The stereo downmix for the mode (coefficients in transcoder/README.md), with the LFE added
// at lfeFactor relative to the fronts when given. Scaled so that the largest sum of absolute
// gains of an output channel is exactly 1: no source can make it clip, and a mono source
// reaches each side at its own level.
ChannelMix stereoMix(const ChannelNames& source, StereoMode mode, const StereoMixLevels& levels,
                     std::optional<double> lfeFactor);

// The source's channels placed in a 5.1(side) layout, the LFE in its own channel; scaled down,
// all channels alike, where more than one source channel lands in one output.
ChannelMix fiveOneMix(const ChannelNames& source);

bool hasLfe(const ChannelNames& source);

// The filter that low-passes the source's LFE channels at 120 Hz before they are mixed into
// other channels; nothing when it has none.
std::optional<std::string> lfeLowPassFilter(const ChannelNames& source);

// The ffmpeg filter that applies the mix; nothing when the mix hands every source channel on
// unchanged, in order.
std::optional<std::string> mixFilter(const ChannelMix& mix, const ChannelNames& source);

} // namespace cantova
