#include "avi_layout.h"

namespace tracklens {

namespace {

constexpr std::uint64_t kMainHeaderBytes = 56;
// Stream header fields up to and including the length.
constexpr std::uint64_t kStreamHeaderBytes = 36;
// Chunks visited in the header, the stream lists and the top level together. A header holds a
// few per stream and streams are numbered up to 99; far more marks a hostile file, which would
// otherwise cost a read per 8 bytes of it.
constexpr std::uint32_t kMaxChunks = 1u << 16;

struct StreamList {
    std::optional<AviVideoStream> video;
    bool malformed = false;
};

StreamList ReadStreamList(const OpenFile& file, const Chunk& strl, unsigned number,
                          std::uint32_t& chunksLeft) {
    StreamList result;
    AviVideoStream stream;
    stream.number = number;
    bool isVideo = false;
    const bool walked = ForEachChunk(file, strl.Children(), chunksLeft, [&](const Chunk& chunk) {
        if (chunk.id == FourCc("strh")) {
            std::uint8_t header[kStreamHeaderBytes];
            if (chunk.data.size < kStreamHeaderBytes ||
                !file.ReadAt(chunk.data.offset, header, sizeof header)) {
                return false;
            }
            isVideo = LittleEndian32(header) == FourCc("vids");
            stream.scale = LittleEndian32(header + 20);
            stream.rate = LittleEndian32(header + 24);
            stream.length = LittleEndian32(header + 32);
        } else if (chunk.id == FourCc("indx")) {
            stream.openDmlIndex = chunk.data;
        }
        return true;
    });
    result.malformed = !walked;
    if (walked && isVideo) {
        result.video = stream;
    }
    return result;
}

// Main header and the first video stream of "hdrl".
std::optional<AviVideoStream> ReadHeaderList(const OpenFile& file, const Chunk& hdrl,
                                             std::uint32_t& chunksLeft) {
    bool haveMainHeader = false;
    unsigned streams = 0;
    std::optional<AviVideoStream> video;
    const bool walked = ForEachChunk(file, hdrl.Children(), chunksLeft, [&](const Chunk& chunk) {
        if (chunk.id == FourCc("avih")) {
            haveMainHeader = chunk.data.size >= kMainHeaderBytes;
            return haveMainHeader;
        }
        if (chunk.id == FourCc("LIST") && chunk.listType == FourCc("strl")) {
            StreamList list = ReadStreamList(file, chunk, streams++, chunksLeft);
            if (!video) {
                video = list.video;
            }
            return !list.malformed;
        }
        return true;
    });
    if (!walked || !haveMainHeader) {
        return std::nullopt;
    }
    return video;
}

} // namespace

std::optional<AviLayout> ReadAviLayout(const OpenFile& file) {
    AviLayout layout;
    layout.fileSize = file.Size();
    const std::optional<Chunk> riff = ReadChunk(file, 0, layout.fileSize);
    if (!riff || riff->id != FourCc("RIFF") || riff->listType != FourCc("AVI ")) {
        return std::nullopt;
    }
    std::optional<AviVideoStream> video;
    bool haveHeaderList = false;
    std::uint32_t chunksLeft = kMaxChunks;
    const bool walked = ForEachChunk(file, riff->Children(), chunksLeft, [&](const Chunk& chunk) {
        if (chunk.id == FourCc("LIST") && chunk.listType == FourCc("hdrl") && !haveHeaderList) {
            haveHeaderList = true;
            video = ReadHeaderList(file, chunk, chunksLeft);
            return video.has_value();
        }
        if (chunk.id == FourCc("idx1") && !layout.legacyIndex) {
            layout.legacyIndex = chunk.data;
        }
        return true;
    });
    if (!walked || !video) {
        return std::nullopt;
    }
    layout.video = *video;
    return layout;
}

} // namespace tracklens
