#pragma once

// Chunks of a RIFF file: a four-character code, a 32-bit little-endian size, the data and a pad
// byte after data of odd size.

#include "open_file.h"

#include <cstdint>
#include <optional>

namespace tracklens {

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return std::uint32_t{static_cast<unsigned char>(code[0])} |
           (std::uint32_t{static_cast<unsigned char>(code[1])} << 8) |
           (std::uint32_t{static_cast<unsigned char>(code[2])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(code[3])} << 24);
}

inline std::uint16_t LittleEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LittleEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline std::uint64_t LittleEndian64(const std::uint8_t* p) {
    return std::uint64_t{LittleEndian32(p)} | (std::uint64_t{LittleEndian32(p + 4)} << 32);
}

// Where a chunk's data lies in the file.
struct ByteSpan {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t End() const { return offset + size; }
};

struct Chunk {
    std::uint32_t id = 0;
    ByteSpan data;
    // For "RIFF" and "LIST": the form or list type, the first four bytes of the data.
    std::uint32_t listType = 0;
    // For "RIFF" and "LIST": the data after the type.
    ByteSpan Children() const { return {data.offset + 4, data.size - 4}; }
};

// The chunk whose header starts at offset; nothing when its header cannot be read or its data
// would reach past end, or when a list is too short for its type.
std::optional<Chunk> ReadChunk(const OpenFile& file, std::uint64_t offset, std::uint64_t end);

// A chunk id is four printable characters; zeros or other data where a chunk should start are
// no chunk.
constexpr bool IsChunkId(std::uint32_t id) {
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t character = (id >> shift) & 0xFF;
        if (character < 0x20 || character > 0x7E) {
            return false;
        }
    }
    return true;
}

// Calls visit(chunk) for the chunks that follow one another in span, in order, until visit
// returns false. Data that is no chunk (see IsChunkId) ends the walk as the span's end does, so
// zeros after the last chunk cost one read however long they are. Each chunk visited takes one
// from chunksLeft, which bounds the chunks of all the walks over one file together. Returns false
// when a chunk reaches past the span, visit returned false or chunksLeft ran out.
template <typename Visit>
bool ForEachChunk(const OpenFile& file, ByteSpan span, std::uint32_t& chunksLeft, Visit&& visit) {
    std::uint64_t offset = span.offset;
    while (offset + 8 <= span.End()) {
        const std::optional<Chunk> chunk = ReadChunk(file, offset, span.End());
        if (chunk && !IsChunkId(chunk->id)) {
            return true;
        }
        if (!chunk || chunksLeft == 0 || !visit(*chunk)) {
            return false;
        }
        --chunksLeft;
        offset = chunk->data.End() + (chunk->data.size & 1);
    }
    return true;
}

} // namespace tracklens
