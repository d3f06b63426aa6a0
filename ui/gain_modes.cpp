#include "ui/gain_modes.h"

namespace cantova::ui {

std::vector<ListItem> GainModeItems(Codec codec) {
    std::vector<ListItem> items{{"None", kGainNone}, {"Pre -Gain", kGainPre}};
    // A lossless target is measured as it is written: after encoding there is nothing to correct.
    if (codec == Codec::Mp3 || codec == Codec::Ogg || codec == Codec::Opus) {
        items.push_back({"Post -Gain", kGainPost});
        items.push_back({"HybridGain", kGainHybrid});
    }
    items.push_back({"Loudness", kGainLoudness});
    return items;
}

std::optional<int> GainModePosition(Codec codec, int mode) {
    const std::vector<ListItem> items = GainModeItems(codec);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].data == mode) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

} // namespace cantova::ui
