#pragma once

#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// The WAV channel switch from the WAV mode list: " -2ch", " -6chwav", " -6ch", else empty.
std::string ChannelFlag(const ui::Windows& windows);

// The same switch for the item data of a WAV mode item (0, 1, 2), empty for any other.
std::string ChannelFlagForMode(int data);

} // namespace cantova::cmdline
