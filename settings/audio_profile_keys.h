#pragma once

// The keys of an audio profile, in the order they are written, with the control each one holds.

#include "ui/job_kind.h"

#include <optional>
#include <span>
#include <string_view>

namespace cantova::settings {

enum class ProfileWindow { Main, Panel };
enum class ProfileValue { JobKind, Codec, Check, ListIndex, Text };

struct ProfileKey {
    std::string_view section;
    std::string_view key; // as stored
    ProfileWindow window;
    std::string_view control;
    ProfileValue value;
    // The only codec for which the key is written; empty for every codec.
    std::string_view codec = {};
    // For a key that profiles of earlier versions lack: the text the control takes when the key
    // is missing. Empty: a missing key is skipped.
    std::string_view textWhenMissing = {};
};

std::span<const ProfileKey> ProfileKeys();

// Whether the section is written for the job kind (the encoder sections depend on it); without a
// kind, only the sections every profile holds.
bool SectionHeldForJobKind(std::string_view section, std::optional<ui::JobKind> jobKind);

// "AC3", "MP3", "OGG", "WAV", "OPUS" or "FLAC" for the codec choice 0 to 5; empty for anything
// else.
std::string_view CodecName(int choice);

} // namespace cantova::settings
