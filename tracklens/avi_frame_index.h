#pragma once

// The per-frame sizes and key-frame flags of an AVI's first video stream, read from its OpenDML
// indexes ("indx" with its "ix##" chunks) or else from "idx1", in frame order.

#include "avi_layout.h"
#include "open_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tracklens {

struct AviFrameEntry {
    std::uint32_t size = 0; // the chunk's data size; 0 for a dropped frame
    bool keyFrame = false;
};

class AviFrameIndex {
public:
    // Checks the index structure (headers and entry counts against their chunks and the file);
    // nothing when the stream has no index or it is malformed.
    static std::optional<AviFrameIndex> Open(const OpenFile& file, const AviLayout& layout);

    // The next frame's entry; false after the last one. An "idx1" entry that names no chunk
    // (zeros, say) ends the index. Reads the index in large blocks.
    bool Next(AviFrameEntry& entry);

private:
    // Consecutive index entries of one chunk.
    struct EntryRun {
        std::uint64_t offset = 0; // file offset of the first entry
        std::uint32_t count = 0;
        std::uint32_t stride = 0; // bytes per entry
    };

    AviFrameIndex(const OpenFile& file, bool legacy, unsigned stream, std::vector<EntryRun> runs)
        : file_(&file), legacy_(legacy), stream_(stream), runs_(std::move(runs)) {}

    bool IsFrameOfStream(std::uint32_t chunkId) const;
    // Points at the next entry to read, fetching a block when needed.
    const std::uint8_t* NextEntryBytes();

    const OpenFile* file_;
    bool legacy_; // "idx1" entries, of every stream, rather than OpenDML entries of this stream
    unsigned stream_;
    std::vector<EntryRun> runs_;
    std::size_t run_ = 0;
    std::uint32_t entryInRun_ = 0;
    std::vector<std::uint8_t> block_;
    std::size_t blockEntries_ = 0;
    std::size_t blockNext_ = 0;
};

} // namespace tracklens
