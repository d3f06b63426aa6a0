#include "sound/channel_mix.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace cantova {

namespace {

struct NamedLayout {
    std::string_view name;
    std::string_view channels;
};

// ffmpeg's standard layouts (ffmpeg -layouts), in its order: for a count without a layout the
// first one of that many channels is ffmpeg's own guess.
constexpr std::array<NamedLayout, 30> kLayouts = {{
    {"mono", "FC"},
    {"stereo", "FL+FR"},
    {"2.1", "FL+FR+LFE"},
    {"3.0", "FL+FR+FC"},
    {"3.0(back)", "FL+FR+BC"},
    {"4.0", "FL+FR+FC+BC"},
    {"quad", "FL+FR+BL+BR"},
    {"quad(side)", "FL+FR+SL+SR"},
    {"3.1", "FL+FR+FC+LFE"},
    {"5.0", "FL+FR+FC+BL+BR"},
    {"5.0(side)", "FL+FR+FC+SL+SR"},
    {"4.1", "FL+FR+FC+LFE+BC"},
    {"5.1", "FL+FR+FC+LFE+BL+BR"},
    {"5.1(side)", "FL+FR+FC+LFE+SL+SR"},
    {"6.0", "FL+FR+FC+BC+SL+SR"},
    {"6.0(front)", "FL+FR+FLC+FRC+SL+SR"},
    {"hexagonal", "FL+FR+FC+BL+BR+BC"},
    {"6.1", "FL+FR+FC+LFE+BC+SL+SR"},
    {"6.1(back)", "FL+FR+FC+LFE+BL+BR+BC"},
    {"6.1(front)", "FL+FR+LFE+FLC+FRC+SL+SR"},
    {"7.0", "FL+FR+FC+BL+BR+SL+SR"},
    {"7.0(front)", "FL+FR+FC+FLC+FRC+SL+SR"},
    {"7.1", "FL+FR+FC+LFE+BL+BR+SL+SR"},
    {"7.1(wide)", "FL+FR+FC+LFE+BL+BR+FLC+FRC"},
    {"7.1(wide-side)", "FL+FR+FC+LFE+FLC+FRC+SL+SR"},
    {"octagonal", "FL+FR+FC+BL+BR+BC+SL+SR"},
    {"hexadecagonal", "FL+FR+FC+BL+BR+BC+SL+SR+TFL+TFC+TFR+TBL+TBC+TBR+WL+WR"},
    {"downmix", "DL+DR"},
    {"22.2", "FL+FR+FC+LFE+BL+BR+FLC+FRC+BC+SL+SR+TC+TFL+TFC+TFR+TBL+TBC+TBR+LFE2+TSL+TSR+"
             "BFC+BFL+BFR"},
    {"5.1.2", "FL+FR+FC+LFE+SL+SR+TFL+TFR"},
}};

ChannelNames splitChannels(std::string_view list) {
    ChannelNames names;
    while (!list.empty()) {
        const std::size_t plus = list.find('+');
        std::string_view name = list.substr(0, plus);
        name = name.substr(0, name.find('@')); // a custom layout may name a channel "FL@x"
        names.emplace_back(name);
        list = plus == std::string_view::npos ? std::string_view() : list.substr(plus + 1);
    }
    return names;
}

// Where a channel sits in the listening room, for mixing.
enum class Place { Left, Right, Centre, Lfe, LeftSurround, RightSurround, BackCentre, None };

Place placeOf(std::string_view name) {
    const auto is = [&](std::initializer_list<std::string_view> names) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (is({"FL", "FLC", "WL", "TFL", "DL", "BFL"})) {
        return Place::Left;
    }
    if (is({"FR", "FRC", "WR", "TFR", "DR", "BFR"})) {
        return Place::Right;
    }
    if (is({"FC", "TFC", "TC", "BFC"})) {
        return Place::Centre;
    }
    if (is({"LFE", "LFE2"})) {
        return Place::Lfe;
    }
    if (is({"SL", "BL", "TBL", "SDL", "TSL"})) {
        return Place::LeftSurround;
    }
    if (is({"SR", "BR", "TBR", "SDR", "TSR"})) {
        return Place::RightSurround;
    }
    if (is({"BC", "TBC"})) {
        return Place::BackCentre;
    }
    return Place::None;
}

const double kMinus3Db = std::sqrt(0.5);           // 0.7071
const double kProLogicNear = std::sqrt(2.0 / 3.0); // 0.8165
const double kProLogicFar = std::sqrt(1.0 / 3.0);  // 0.5774

// The nominal {left, right} gains of a channel at this place in a stereo downmix.
std::array<double, 2> stereoGains(Place place, StereoMode mode, const StereoMixLevels& levels,
                                  double lfe) {
    const double c = kMinus3Db;
    const double surround = levels.surround;
    switch (place) {
    case Place::Left:
        return {1.0, 0.0};
    case Place::Right:
        return {0.0, 1.0};
    case Place::Centre:
        return mode == StereoMode::Plain ? std::array<double, 2>{levels.centre, levels.centre}
                                         : std::array<double, 2>{c, c};
    case Place::Lfe:
        return {lfe, lfe};
    case Place::LeftSurround:
        switch (mode) {
        case StereoMode::Plain:
            return {surround, 0.0};
        case StereoMode::DolbySurround:
            return {-c, c};
        case StereoMode::ProLogic2:
            return {-kProLogicNear, kProLogicFar};
        }
        break;
    case Place::RightSurround:
        switch (mode) {
        case StereoMode::Plain:
            return {0.0, surround};
        case StereoMode::DolbySurround:
            return {-c, c};
        case StereoMode::ProLogic2:
            return {-kProLogicFar, kProLogicNear};
        }
        break;
    case Place::BackCentre:
        return mode == StereoMode::Plain ? std::array<double, 2>{c * surround, c * surround}
                                         : std::array<double, 2>{-c, c};
    case Place::None:
        break;
    }
    return {0.0, 0.0};
}

// Scales the gains so that the largest sum of absolute gains of an output is 1.
void scaleToFullScale(ChannelMix& mix) {
    double largest = 0.0;
    for (const std::vector<double>& row : mix.gains) {
        double sum = 0.0;
        for (double gain : row) {
            sum += std::abs(gain);
        }
        largest = std::max(largest, sum);
    }
    if (largest == 0.0) {
        return;
    }
    mix.headroomScale = 1.0 / largest;
    for (std::vector<double>& row : mix.gains) {
        for (double& gain : row) {
            gain /= largest;
        }
    }
}

} // namespace

bool hasLfe(const ChannelNames& source) {
    return std::any_of(source.begin(), source.end(),
                       [](const std::string& name) { return placeOf(name) == Place::Lfe; });
}

std::optional<std::string> lfeLowPassFilter(const ChannelNames& source) {
    std::string channels;
    for (const std::string& name : source) {
        if (placeOf(name) == Place::Lfe) {
            channels += (channels.empty() ? "" : "+") + name;
        }
    }
    if (channels.empty()) {
        return std::nullopt;
    }
    // A fourth-order Butterworth low-pass: two second-order sections of these Q values.
    return "lowpass=f=120:t=q:w=0.5412:c=" + channels + ",lowpass=f=120:t=q:w=1.3066:c=" + channels;
}

std::optional<ChannelNames> channelsOfLayout(std::string_view layout, int channelCount) {
    // "6 channels (FL+FR+...)" is how ffmpeg describes a layout in a custom order.
    if (const auto open = layout.find('('); open != std::string_view::npos &&
                                            layout.find(" channels (") != std::string_view::npos &&
                                            layout.ends_with(")")) {
        layout = layout.substr(open + 1, layout.size() - open - 2);
    }
    ChannelNames names;
    for (const NamedLayout& named : kLayouts) {
        if (named.name == layout) {
            names = splitChannels(named.channels);
        }
    }
    if (names.empty() && layout.find('+') != std::string_view::npos) {
        names = splitChannels(layout);
    }
    // Three channels without a layout are front left, right and centre: ffmpeg's own guess,
    // 2.1, would take the centre for an LFE and drop it from every downmix without -L.
    if (names.empty() && channelCount == 3) {
        names = splitChannels("FL+FR+FC");
    }
    if (names.empty()) {
        for (const NamedLayout& named : kLayouts) {
            ChannelNames guess = splitChannels(named.channels);
            if (static_cast<int>(guess.size()) == channelCount) {
                names = std::move(guess);
                break;
            }
        }
    }
    if (static_cast<int>(names.size()) != channelCount) {
        return std::nullopt;
    }
    return names;
}

ChannelMix stereoMix(const ChannelNames& source, StereoMode mode, const StereoMixLevels& levels,
                     std::optional<double> lfeFactor) {
    ChannelMix mix{"stereo", {"FL", "FR"}, {{}, {}}, 1.0};
    for (const std::string& name : source) {
        const auto [left, right] =
            stereoGains(placeOf(name), mode, levels, lfeFactor.value_or(0.0));
        mix.gains[0].push_back(left);
        mix.gains[1].push_back(right);
    }
    scaleToFullScale(mix);
    return mix;
}

ChannelMix fiveOneMix(const ChannelNames& source) {
    ChannelMix mix{"5.1(side)", {"FL", "FR", "FC", "LFE", "SL", "SR"}, {}, 1.0};
    mix.gains.assign(mix.outputs.size(), std::vector<double>(source.size(), 0.0));
    enum { kFL, kFR, kFC, kLFE, kSL, kSR };
    for (std::size_t i = 0; i < source.size(); ++i) {
        switch (placeOf(source[i])) {
        case Place::Left:
            mix.gains[kFL][i] = 1.0;
            break;
        case Place::Right:
            mix.gains[kFR][i] = 1.0;
            break;
        case Place::Centre:
            mix.gains[kFC][i] = 1.0;
            break;
        case Place::Lfe:
            mix.gains[kLFE][i] = 1.0;
            break;
        case Place::LeftSurround:
            mix.gains[kSL][i] = 1.0;
            break;
        case Place::RightSurround:
            mix.gains[kSR][i] = 1.0;
            break;
        case Place::BackCentre:
            mix.gains[kSL][i] = kMinus3Db;
            mix.gains[kSR][i] = kMinus3Db;
            break;
        case Place::None:
            break;
        }
    }
    scaleToFullScale(mix);
    return mix;
}

std::optional<std::string> mixFilter(const ChannelMix& mix, const ChannelNames& source) {
    if (mix.outputs == source) {
        bool identity = true;
        for (std::size_t o = 0; o < mix.outputs.size(); ++o) {
            for (std::size_t i = 0; i < source.size(); ++i) {
                identity = identity && mix.gains[o][i] == (o == i ? 1.0 : 0.0);
            }
        }
        if (identity) {
            return std::nullopt;
        }
    }
    std::string filter = "pan=" + mix.outputLayout;
    for (std::size_t o = 0; o < mix.outputs.size(); ++o) {
        std::string terms;
        for (std::size_t i = 0; i < source.size(); ++i) {
            const double gain = mix.gains[o][i];
            if (gain == 0.0) {
                continue;
            }
            terms += gain < 0.0 ? "-" : (terms.empty() ? "" : "+");
            terms += formatDecimal(std::abs(gain)) + "*c" + std::to_string(i);
        }
        // ffmpeg's pan needs a term for every output; a silent one gets a zero gain.
        filter += "|c" + std::to_string(o) + "=" + (terms.empty() ? "0*c0" : terms);
    }
    return filter;
}

} // namespace cantova
