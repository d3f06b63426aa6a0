#include "ui/job_kind.h"

#include "ui/main_window.h"

namespace cantova::ui {

std::optional<Codec> ChosenCodec(const MainWindow& window) {
    const int chosen = window.OptAudioCodec.chosen();
    if (chosen < 0 || chosen > static_cast<int>(Codec::Flac)) {
        return std::nullopt;
    }
    return static_cast<Codec>(chosen);
}

JobKind JobKindOf(const MainWindow& window) {
    const std::optional<Codec> codec = ChosenCodec(window);
    if (!codec) {
        return JobKind::Mp3;
    }
    const bool ac3Source = window.OptAudioCodec[static_cast<int>(Codec::Ac3)].enabled();
    switch (*codec) {
    case Codec::Ac3:
        return ac3Source ? JobKind::Ac3 : JobKind::Mp3;
    case Codec::Mp3:
        return ac3Source ? JobKind::Mp3FromAc3 : JobKind::Mp3;
    case Codec::Ogg:
        return ac3Source ? JobKind::OggFromAc3 : JobKind::Ogg;
    case Codec::Wav:
        return ac3Source ? JobKind::WavFromAc3 : JobKind::Wav;
    case Codec::Opus:
        return ac3Source ? JobKind::OpusFromAc3 : JobKind::Opus;
    case Codec::Flac:
        return ac3Source ? JobKind::FlacFromAc3 : JobKind::Flac;
    }
    return JobKind::Mp3;
}

int NumberOf(JobKind kind) {
    return static_cast<int>(kind);
}

std::optional<JobKind> JobKindFromNumber(int number) {
    if (number < 0 || number > NumberOf(JobKind::FlacFromAc3)) {
        return std::nullopt;
    }
    return static_cast<JobKind>(number);
}

bool UsesAc3Decoder(JobKind kind) {
    return kind == JobKind::Mp3FromAc3 || kind == JobKind::OggFromAc3 || kind == JobKind::Ac3 ||
           kind == JobKind::WavFromAc3 || kind == JobKind::OpusFromAc3 ||
           kind == JobKind::FlacFromAc3;
}

bool UsesMp3Encoder(JobKind kind) {
    return kind == JobKind::Mp3 || kind == JobKind::Mp3FromAc3;
}

bool UsesVorbisEncoder(JobKind kind) {
    return kind == JobKind::Ogg || kind == JobKind::OggFromAc3;
}

bool UsesAc3Encoder(JobKind kind) {
    return kind == JobKind::Ac3;
}

bool UsesOpusEncoder(JobKind kind) {
    return kind == JobKind::Opus || kind == JobKind::OpusFromAc3;
}

bool UsesFlacEncoder(JobKind kind) {
    return kind == JobKind::Flac || kind == JobKind::FlacFromAc3;
}

} // namespace cantova::ui
