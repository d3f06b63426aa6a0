#include "riff_chunks.h"

namespace tracklens {

std::optional<Chunk> ReadChunk(const OpenFile& file, std::uint64_t offset, std::uint64_t end) {
    std::uint8_t header[12];
    if (offset + 8 > end || !file.ReadAt(offset, header, 8)) {
        return std::nullopt;
    }
    Chunk chunk;
    chunk.id = LittleEndian32(header);
    chunk.data = {offset + 8, LittleEndian32(header + 4)};
    if (chunk.data.End() > end) {
        return std::nullopt;
    }
    if (chunk.id == FourCc("RIFF") || chunk.id == FourCc("LIST")) {
        if (chunk.data.size < 4 || !file.ReadAt(offset + 8, header + 8, 4)) {
            return std::nullopt;
        }
        chunk.listType = LittleEndian32(header + 8);
    }
    return chunk;
}

} // namespace tracklens
