#include "avi_frame_index.h"

#include "riff_chunks.h"

#include <algorithm>
#include <cctype>

namespace tracklens {

namespace {

constexpr std::uint32_t kLegacyEntryBytes = 16;
constexpr std::uint32_t kLegacyKeyFrameFlag = 0x10;
constexpr std::uint32_t kOpenDmlNotKeyFrameBit = 0x80000000u;
constexpr std::uint64_t kOpenDmlHeaderBytes = 24;
constexpr std::uint8_t kIndexOfIndexes = 0;
constexpr std::uint8_t kIndexOfChunks = 1;
// A super index entry per "ix##" chunk; real files need a few hundred at most.
constexpr std::uint32_t kMaxSuperIndexEntries = 1u << 16;
constexpr std::size_t kBlockBytes = 1u << 16;

struct OpenDmlHeader {
    std::uint16_t longsPerEntry = 0;
    std::uint8_t indexType = 0;
    std::uint32_t entriesInUse = 0;
};

std::optional<OpenDmlHeader> ReadOpenDmlHeader(const OpenFile& file, ByteSpan data) {
    std::uint8_t bytes[kOpenDmlHeaderBytes];
    if (data.size < kOpenDmlHeaderBytes || !file.ReadAt(data.offset, bytes, sizeof bytes)) {
        return std::nullopt;
    }
    OpenDmlHeader header;
    header.longsPerEntry = LittleEndian16(bytes);
    header.indexType = bytes[3];
    header.entriesInUse = LittleEndian32(bytes + 4);
    const std::uint64_t stride = std::uint64_t{header.longsPerEntry} * 4;
    if (stride == 0 ||
        std::uint64_t{header.entriesInUse} * stride > data.size - kOpenDmlHeaderBytes) {
        return std::nullopt;
    }
    return header;
}

// A standard index (entries of chunks): offset and size, and possibly more, per entry.
std::optional<std::uint32_t> StandardIndexStride(const OpenDmlHeader& header) {
    if (header.indexType != kIndexOfChunks || header.longsPerEntry < 2) {
        return std::nullopt;
    }
    return header.longsPerEntry * 4u;
}

std::optional<std::vector<std::uint64_t>> ReadSuperIndexOffsets(const OpenFile& file, ByteSpan data,
                                                                const OpenDmlHeader& header) {
    if (header.indexType != kIndexOfIndexes || header.longsPerEntry != 4 ||
        header.entriesInUse > kMaxSuperIndexEntries) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> entries(std::size_t{header.entriesInUse} * 16);
    if (!file.ReadAt(data.offset + kOpenDmlHeaderBytes, entries.data(), entries.size())) {
        return std::nullopt;
    }
    std::vector<std::uint64_t> offsets;
    for (std::size_t i = 0; i < header.entriesInUse; ++i) {
        offsets.push_back(LittleEndian64(entries.data() + i * 16));
    }
    return offsets;
}

} // namespace

std::optional<AviFrameIndex> AviFrameIndex::Open(const OpenFile& file, const AviLayout& layout) {
    const AviVideoStream& video = layout.video;
    std::optional<OpenDmlHeader> top;
    if (video.openDmlIndex) {
        top = ReadOpenDmlHeader(file, *video.openDmlIndex);
        if (!top) {
            return std::nullopt;
        }
    }
    if (!top || top->entriesInUse == 0) {
        if (!layout.legacyIndex) {
            return std::nullopt;
        }
        const ByteSpan data = *layout.legacyIndex;
        const auto count = static_cast<std::uint32_t>(data.size / kLegacyEntryBytes);
        return AviFrameIndex(file, true, video.number, {{data.offset, count, kLegacyEntryBytes}});
    }

    std::vector<EntryRun> runs;
    const auto addStandardIndex = [&](ByteSpan data) {
        const std::optional<OpenDmlHeader> header = ReadOpenDmlHeader(file, data);
        const std::optional<std::uint32_t> stride =
            header ? StandardIndexStride(*header) : std::nullopt;
        if (!stride) {
            return false;
        }
        runs.push_back({data.offset + kOpenDmlHeaderBytes, header->entriesInUse, *stride});
        return true;
    };
    if (top->indexType == kIndexOfChunks) {
        if (!addStandardIndex(*video.openDmlIndex)) {
            return std::nullopt;
        }
    } else {
        const auto offsets = ReadSuperIndexOffsets(file, *video.openDmlIndex, *top);
        if (!offsets) {
            return std::nullopt;
        }
        // Entries may point at one chunk many times; more entries in all than the file could
        // hold as distinct ones marks a hostile index.
        std::uint64_t totalEntries = 0;
        for (const std::uint64_t offset : *offsets) {
            const std::optional<Chunk> chunk = ReadChunk(file, offset, layout.fileSize);
            if (!chunk || !addStandardIndex(chunk->data)) {
                return std::nullopt;
            }
            totalEntries += runs.back().count;
            if (totalEntries > layout.fileSize / 8) {
                return std::nullopt;
            }
        }
    }
    return AviFrameIndex(file, false, video.number, std::move(runs));
}

bool AviFrameIndex::IsFrameOfStream(std::uint32_t chunkId) const {
    // "##dc" or "##db"; writers put the stream number in decimal or in hexadecimal digits.
    const std::uint32_t kind = chunkId >> 16;
    if (kind != (FourCc("00dc") >> 16) && kind != (FourCc("00db") >> 16)) {
        return false;
    }
    const int tens = std::toupper(static_cast<int>(chunkId & 0xFF));
    const int ones = std::toupper(static_cast<int>((chunkId >> 8) & 0xFF));
    const char* const hexDigits = "0123456789ABCDEF";
    const bool decimal = stream_ < 100 && tens == static_cast<int>('0' + stream_ / 10) &&
                         ones == static_cast<int>('0' + stream_ % 10);
    const bool hex =
        stream_ < 256 && tens == hexDigits[stream_ / 16] && ones == hexDigits[stream_ % 16];
    return decimal || hex;
}

const std::uint8_t* AviFrameIndex::NextEntryBytes() {
    while (run_ < runs_.size() && entryInRun_ == runs_[run_].count) {
        ++run_;
        entryInRun_ = 0;
        blockEntries_ = blockNext_ = 0;
    }
    if (run_ == runs_.size()) {
        return nullptr;
    }
    const EntryRun& run = runs_[run_];
    if (blockNext_ == blockEntries_) {
        const std::size_t entries =
            std::min<std::size_t>(kBlockBytes / run.stride, run.count - entryInRun_);
        block_.resize(entries * run.stride);
        if (!file_->ReadAt(run.offset + std::uint64_t{entryInRun_} * run.stride, block_.data(),
                           block_.size())) {
            return nullptr;
        }
        blockEntries_ = entries;
        blockNext_ = 0;
    }
    ++entryInRun_;
    return block_.data() + blockNext_++ * run.stride;
}

bool AviFrameIndex::Next(AviFrameEntry& entry) {
    while (const std::uint8_t* bytes = NextEntryBytes()) {
        if (legacy_) {
            const std::uint32_t chunkId = LittleEndian32(bytes);
            if (!IsChunkId(chunkId)) {
                return false; // zeros or other data that lists no chunk end the index
            }
            if (!IsFrameOfStream(chunkId)) {
                continue;
            }
            entry.keyFrame = (LittleEndian32(bytes + 4) & kLegacyKeyFrameFlag) != 0;
            entry.size = LittleEndian32(bytes + 12);
        } else {
            const std::uint32_t size = LittleEndian32(bytes + 4);
            entry.keyFrame = (size & kOpenDmlNotKeyFrameBit) == 0;
            entry.size = size & ~kOpenDmlNotKeyFrameBit;
        }
        return true;
    }
    return false;
}

} // namespace tracklens
