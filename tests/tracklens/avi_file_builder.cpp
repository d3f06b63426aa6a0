#include "avi_file_builder.h"

#include <cstdio>

namespace {

std::string Le16(std::uint16_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le64(std::uint64_t value) {
    return Le32(static_cast<std::uint32_t>(value)) + Le32(static_cast<std::uint32_t>(value >> 32));
}

std::string StreamTag(unsigned number) {
    char tag[3];
    std::snprintf(tag, sizeof tag, "%02u", number % 100);
    return tag;
}

std::string MainHeader(const AviTestFile& file) {
    std::string data;
    data += Le32(1000000 / 3); // microseconds per frame: not what the stream header says
    data += Le32(0) + Le32(0) + Le32(0x10);
    data += Le32(static_cast<std::uint32_t>(file.frames.size() + 17)); // total frames, ignored
    data += Le32(0) + Le32(static_cast<std::uint32_t>(file.streamTypes.size()));
    data += Le32(0) + Le32(320) + Le32(240) + std::string(16, '\0');
    return RiffChunk("avih", data);
}

std::string StreamHeader(const std::string& type, std::uint32_t scale, std::uint32_t rate,
                         std::uint32_t length) {
    std::string data = type + "none" + Le32(0) + Le16(0) + Le16(0) + Le32(0);
    data += Le32(scale) + Le32(rate) + Le32(0) + Le32(length);
    data += Le32(0) + Le32(0xFFFFFFFF) + Le32(0) + std::string(8, '\0');
    return RiffChunk("strh", data);
}

// Entries of one "ix##" standard index chunk.
std::string StandardIndex(const std::string& chunkId, const std::vector<AviTestFrame>& frames,
                          std::size_t first, std::size_t count) {
    std::string data = Le16(2) + std::string(1, '\0') + std::string(1, '\1');
    data += Le32(static_cast<std::uint32_t>(count)) + chunkId + Le64(0) + Le32(0);
    for (std::size_t i = first; i < first + count; ++i) {
        const std::uint32_t flags = frames[i].keyFrame ? 0 : 0x80000000u;
        data += Le32(8) + Le32(frames[i].size | flags);
    }
    return data;
}

std::string SuperIndex(const std::string& chunkId, const std::vector<std::uint64_t>& offsets) {
    std::string data = Le16(4) + std::string(2, '\0');
    data += Le32(static_cast<std::uint32_t>(offsets.size())) + chunkId + std::string(12, '\0');
    for (const std::uint64_t offset : offsets) {
        data += Le64(offset) + Le32(0) + Le32(0);
    }
    return data;
}

} // namespace

std::string Le32(std::uint32_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF),
                       static_cast<char>((value >> 24) & 0xFF)};
}

std::string RiffChunk(const std::string& id, const std::string& data) {
    std::string chunk = id + Le32(static_cast<std::uint32_t>(data.size())) + data;
    if (data.size() % 2 != 0) {
        chunk += '\0';
    }
    return chunk;
}

std::string RiffList(const std::string& id, const std::string& type, const std::string& children) {
    return id + Le32(static_cast<std::uint32_t>(children.size() + 4)) + type + children;
}

std::vector<AviTestFrame> FramesOfSize(std::uint32_t size, unsigned count, unsigned keyInterval) {
    std::vector<AviTestFrame> frames(count);
    for (unsigned i = 0; i < count; ++i) {
        frames[i] = {size, keyInterval != 0 && i % keyInterval == 0};
    }
    return frames;
}

std::string BuildAvi(const AviTestFile& file) {
    unsigned videoNumber = 0;
    while (videoNumber < file.streamTypes.size() && file.streamTypes[videoNumber] != "vids") {
        ++videoNumber;
    }
    const std::string videoChunkId = StreamTag(videoNumber) + "dc";
    const bool openDml = file.index == AviTestIndex::OpenDml || file.index == AviTestIndex::Both;
    const bool legacy = file.index == AviTestIndex::Legacy || file.index == AviTestIndex::Both;

    // Frames, each followed by an audio chunk of stream 0 when that is not the video stream.
    std::string movi;
    std::string idx1;
    for (const AviTestFrame& frame : file.frames) {
        // Only the index gives the sizes; the chunks hold a few bytes.
        movi += RiffChunk(videoChunkId, std::string(4, 'v'));
        idx1 += videoChunkId + Le32(frame.keyFrame ? 0x10 : 0) + Le32(4) + Le32(frame.size);
        if (videoNumber != 0) {
            movi += RiffChunk("00wb", "aa");
            idx1 += std::string("00wb") + Le32(0x10) + Le32(4) + Le32(1000);
        }
    }

    // The header list, with room for the super index, then the standard index chunks after it.
    const unsigned ixChunks = openDml ? file.openDmlChunks : 0;
    const auto headerList = [&](const std::vector<std::uint64_t>& ixOffsets) {
        std::string lists;
        for (unsigned number = 0; number < file.streamTypes.size(); ++number) {
            const bool video = number == videoNumber;
            const std::uint32_t length =
                file.length != 0 ? file.length : static_cast<std::uint32_t>(file.frames.size());
            std::string strl = video ? StreamHeader("vids", file.scale, file.rate, length)
                                     : StreamHeader(file.streamTypes[number], 1, 48000, 9999);
            strl += RiffChunk("strf", std::string(40, '\0'));
            if (video && openDml) {
                strl += RiffChunk("indx", SuperIndex(videoChunkId, ixOffsets));
            }
            lists += RiffList("LIST", "strl", strl);
        }
        return RiffList("LIST", "hdrl", MainHeader(file) + lists);
    };
    std::vector<std::uint64_t> ixOffsets(std::size_t{ixChunks} * file.superIndexRepeats, 0);
    const std::size_t headerSize = headerList(ixOffsets).size();
    std::string ix;
    std::size_t first = 0;
    for (unsigned chunk = 0; chunk < ixChunks; ++chunk) {
        const std::size_t count = (file.frames.size() - first) / (ixChunks - chunk);
        for (unsigned repeat = 0; repeat < file.superIndexRepeats; ++repeat) {
            ixOffsets[std::size_t{chunk} * file.superIndexRepeats + repeat] =
                12 + headerSize + ix.size();
        }
        ix += RiffChunk("ix" + StreamTag(videoNumber),
                        StandardIndex(videoChunkId, file.frames, first, count));
        first += count;
    }
    std::string body = headerList(ixOffsets) + ix + RiffList("LIST", "movi", movi);
    if (legacy) {
        body += RiffChunk("idx1", idx1);
    }
    return RiffList("RIFF", "AVI ", body);
}
