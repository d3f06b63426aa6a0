#pragma once

// The target codecs and the job kinds. The job kind follows from the chosen target and from
// whether the AC3 target can be chosen (an AC3 source): it decides the command's groups, the
// panel's frames and the encoder sections of a profile. Its number is stored in profiles.

#include <optional>

namespace cantova::ui {

class MainWindow;

// The element of OptAudioCodec for each target.
enum class Codec { Ac3 = 0, Mp3 = 1, Ogg = 2, Wav = 3, Opus = 4, Flac = 5 };

enum class JobKind {
    Mp3 = 0,          // MP3, no AC3 source
    Mp3FromAc3 = 1,   // MP3 from an AC3 source
    OggFromAc3 = 2,   // Ogg Vorbis from an AC3 source
    Ac3 = 3,          // AC3
    Ogg = 4,          // Ogg Vorbis, no AC3 source
    WavFromAc3 = 5,   // WAV from an AC3 source
    Wav = 6,          // WAV, no AC3 source
    Opus = 7,         // Opus, no AC3 source
    OpusFromAc3 = 8,  // Opus from an AC3 source
    Flac = 9,         // FLAC, no AC3 source
    FlacFromAc3 = 10, // FLAC from an AC3 source
};

// The chosen target; nothing when no target is chosen.
std::optional<Codec> ChosenCodec(const MainWindow& window);

// The job kind of the main window's state. With the AC3 target greyed out, a chosen AC3 target
// counts as MP3 (kind 0), as does no choice at all.
JobKind JobKindOf(const MainWindow& window);

int NumberOf(JobKind kind);
// The kind stored as number; nothing for a number outside 0 to 10.
std::optional<JobKind> JobKindFromNumber(int number);

// The option groups and panel frames a kind uses besides the always-present ones.
bool UsesAc3Decoder(JobKind kind);
bool UsesMp3Encoder(JobKind kind);
bool UsesVorbisEncoder(JobKind kind);
bool UsesAc3Encoder(JobKind kind);
bool UsesOpusEncoder(JobKind kind);
bool UsesFlacEncoder(JobKind kind);

} // namespace cantova::ui
