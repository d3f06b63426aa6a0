#include "audio_tracks.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/time.h>
}

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace tracklens {

namespace {

// Enough for the headers of every container and a few frames of each track of a multiplex;
// a raw stream's codec is told from its first frames.
constexpr std::int64_t kProbeBytes = 4 * 1024 * 1024;
constexpr std::int64_t kAnalyseMicroseconds = 2 * AV_TIME_BASE;
// A file that keeps the reader busy longer than this is given up (a guard, never reached by a
// sound file).
constexpr std::int64_t kGiveUpMicroseconds = 3 * AV_TIME_BASE;
constexpr int kReadBufferBytes = 64 * 1024;

struct Reader {
    int fd = -1;
    std::int64_t position = 0;
    std::int64_t size = 0;
    std::int64_t deadline = 0;
};

int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    auto* reader = static_cast<Reader*>(opaque);
    const ssize_t got = pread(reader->fd, buffer, static_cast<std::size_t>(size), reader->position);
    if (got <= 0) {
        return AVERROR_EOF;
    }
    reader->position += got;
    return static_cast<int>(got);
}

std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
    auto* reader = static_cast<Reader*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return reader->size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += reader->position;
        break;
    case SEEK_END:
        offset += reader->size;
        break;
    default:
        return -1;
    }
    if (offset < 0) {
        return -1;
    }
    reader->position = offset;
    return offset;
}

int PastDeadline(void* opaque) {
    return av_gettime_relative() > static_cast<Reader*>(opaque)->deadline ? 1 : 0;
}

// Cut where it does not fit, never inside a UTF-8 sequence.
template <std::size_t N> void CopyText(char (&to)[N], const char* from) {
    std::size_t length = from == nullptr ? 0 : strnlen(from, N);
    if (length == N) {
        length = N - 1;
        while (length > 0 && (static_cast<unsigned char>(from[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(to, from == nullptr ? "" : from, length);
    to[length] = '\0';
}

const char* CodecName(const AVCodecParameters& codec) {
    switch (codec.codec_id) {
    case AV_CODEC_ID_AC3:
        return "AC3";
    case AV_CODEC_ID_EAC3:
        return "E-AC3";
    case AV_CODEC_ID_DTS:
        return "DTS";
    case AV_CODEC_ID_TRUEHD:
        return "TrueHD";
    case AV_CODEC_ID_AAC:
        return "AAC";
    case AV_CODEC_ID_FLAC:
        return "FLAC";
    case AV_CODEC_ID_MP1:
        return "MP1";
    case AV_CODEC_ID_MP2:
        return "MP2";
    case AV_CODEC_ID_MP3:
        return "MP3";
    case AV_CODEC_ID_OPUS:
        return "Opus";
    case AV_CODEC_ID_VORBIS:
        return "Vorbis";
    case AV_CODEC_ID_PCM_DVD:
    case AV_CODEC_ID_PCM_BLURAY:
        return "LPCM";
    default:
        break;
    }
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec.codec_id);
    if (descriptor != nullptr && std::strncmp(descriptor->name, "pcm_", 4) == 0) {
        return "PCM";
    }
    return descriptor != nullptr ? descriptor->name : "unknown";
}

// "5.1": the channels other than the low-frequency ones, then those.
void FillLayout(const AVCodecParameters& codec, TRACKLENS_AUDIO_TRACK& track) {
    const int channels = codec.ch_layout.nb_channels;
    int lfe = 0;
    if (codec.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        // A stream that names no layout has the usual one of its channel count.
        lfe = channels == 6 || channels == 8 ? 1 : 0;
    } else {
        for (const AVChannel lowFrequency : {AV_CHAN_LOW_FREQUENCY, AV_CHAN_LOW_FREQUENCY_2}) {
            if (av_channel_layout_index_from_channel(&codec.ch_layout, lowFrequency) >= 0) {
                ++lfe;
            }
        }
    }
    track.Channels = channels;
    track.LfeChannels = lfe;
    if (channels > 0) {
        CopyText(track.Layout,
                 (std::to_string(channels - lfe) + "." + std::to_string(lfe)).c_str());
    }
}

std::int32_t StartMilliseconds(const AVStream& stream, std::int64_t zero) {
    if (stream.start_time == AV_NOPTS_VALUE || zero == AV_NOPTS_VALUE) {
        return 0;
    }
    const std::int64_t start = av_rescale_q(stream.start_time, stream.time_base, {1, 1000});
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(start - zero, -3600000, 3600000));
}

// The start the tracks' delays count from: the first video track's, as a player lines the sound
// up with the picture; none without a video track.
std::int64_t PictureStartMilliseconds(const AVFormatContext& format) {
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream& stream = *format.streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) == 0 &&
            stream.start_time != AV_NOPTS_VALUE) {
            return av_rescale_q(stream.start_time, stream.time_base, {1, 1000});
        }
    }
    return AV_NOPTS_VALUE;
}

// The stream's own duration where the container gives one, else the file's.
std::int32_t DurationMilliseconds(const AVStream& stream, std::int64_t fileDuration) {
    std::int64_t milliseconds = 0;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
        milliseconds = av_rescale_q(stream.duration, stream.time_base, {1, 1000});
    } else if (fileDuration != AV_NOPTS_VALUE && fileDuration > 0) {
        milliseconds = fileDuration / (AV_TIME_BASE / 1000);
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(milliseconds, 0, INT32_MAX));
}

TRACKLENS_AUDIO_TRACK TrackOf(const AVStream& stream, std::int32_t number, std::int64_t zero,
                              std::int64_t fileDuration) {
    TRACKLENS_AUDIO_TRACK track{};
    const AVCodecParameters& codec = *stream.codecpar;
    track.Number = number;
    CopyText(track.Codec, CodecName(codec));
    FillLayout(codec, track);
    track.SampleRate = codec.sample_rate;
    track.Bitrate =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(codec.bit_rate / 1000, 0, INT32_MAX));
    const AVDictionaryEntry* language = av_dict_get(stream.metadata, "language", nullptr, 0);
    if (language != nullptr && std::strcmp(language->value, "und") != 0) {
        CopyText(track.Language, language->value);
    }
    const AVDictionaryEntry* title = av_dict_get(stream.metadata, "title", nullptr, 0);
    CopyText(track.Title, title != nullptr ? title->value : "");
    track.IsDefault = (stream.disposition & AV_DISPOSITION_DEFAULT) != 0 ? 1 : 0;
    track.StartMs = StartMilliseconds(stream, zero);
    track.DurationMs = DurationMilliseconds(stream, fileDuration);
    return track;
}

struct FormatContext {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    ~FormatContext() {
        avformat_close_input(&format);
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};

} // namespace

std::optional<std::vector<TRACKLENS_AUDIO_TRACK>> ListAudioTracksOf(int fd) {
    av_log_set_level(AV_LOG_QUIET);
    Reader reader;
    reader.fd = fd;
    reader.size = lseek(fd, 0, SEEK_END);
    reader.deadline = av_gettime_relative() + kGiveUpMicroseconds;
    if (reader.size <= 0) {
        return std::nullopt;
    }
    FormatContext context;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kReadBufferBytes));
    if (buffer == nullptr) {
        return std::nullopt;
    }
    // Read through the descriptor only: the name is never taken for a protocol or a pattern.
    context.io =
        avio_alloc_context(buffer, kReadBufferBytes, 0, &reader, ReadPacket, nullptr, Seek);
    if (context.io == nullptr) {
        av_free(buffer);
        return std::nullopt;
    }
    context.format = avformat_alloc_context();
    if (context.format == nullptr) {
        return std::nullopt;
    }
    context.format->pb = context.io;
    context.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    context.format->probesize = kProbeBytes;
    context.format->max_analyze_duration = kAnalyseMicroseconds;
    context.format->interrupt_callback = {PastDeadline, &reader};
    if (avformat_open_input(&context.format, nullptr, nullptr, nullptr) < 0) {
        return std::nullopt; // freed by avformat_open_input
    }
    if (avformat_find_stream_info(context.format, nullptr) < 0) {
        return std::nullopt;
    }
    const std::int64_t zero = PictureStartMilliseconds(*context.format);
    std::vector<TRACKLENS_AUDIO_TRACK> tracks;
    for (unsigned i = 0; i < context.format->nb_streams; ++i) {
        const AVStream& stream = *context.format->streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            tracks.push_back(TrackOf(stream, static_cast<std::int32_t>(tracks.size()) + 1, zero,
                                     context.format->duration));
        }
    }
    return tracks;
}

} // namespace tracklens
