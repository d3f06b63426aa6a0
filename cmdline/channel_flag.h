#pragma once

#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// The WAV channel switch from the WAV mode list: " -2ch", " -6chwav", " -6ch", else empty.
std::string ChannelFlag(const ui::Windows& windows);

} // namespace cantova::cmdline
