#pragma once

// Reads an open file as a big-endian bit string, most significant bit first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tracklens {

// How far the search for a sync word goes: a stream's first frame starts within a frame's length
// (at most 3840 bytes) of its beginning, and what may come before it, a cut-off frame or a short
// header of another kind, is small. 16 MiB is more than three minutes of audio at the highest
// rate; data that long without a sync word is no AC3 stream, and however long a file of zeros
// is, the probe reads little more than this of it.
inline constexpr std::uint64_t kAc3SyncSearchBytes = std::uint64_t{16} << 20;

// The file is taken in whole 32-bit words: a refill that finds fewer than 4 bytes ends the
// stream, so the last 1 to 3 bytes of a file are never delivered. Bits asked for after the end
// read as 0. Bytes are fetched from the file in large blocks.
class Ac3BitReader {
public:
    // Takes the descriptor's first block at once; does not own the descriptor.
    explicit Ac3BitReader(int fd);

    // The next n bits (n <= 16), right-aligned, earlier bits more significant.
    unsigned Read(unsigned n);

    // Moves past the first sync word whose first bit is at or after the current position and
    // that lies wholly within the kAc3SyncSearchBytes bytes from there. Fails when there is none
    // or the stream ends first. A word starting more than 32 bits on also fails when it ends the
    // stream (its last bit is the last one delivered).
    bool SkipToSyncWord();

private:
    // Fetches the next block, keeping the bytes from the current one on. False when no further
    // word could be delivered.
    bool FetchBlock();
    // Offset in the file just past the last byte delivered (a multiple of 4).
    std::uint64_t DeliveredEnd() const { return fileBytes_ / 4 * 4; }

    int fd_;
    std::vector<std::uint8_t> block_;
    std::uint64_t blockStart_ = 0; // file offset of block_[0]
    std::size_t blockSize_ = 0;    // bytes held in block_
    std::uint64_t fileBytes_ = 0;  // bytes read from the file so far
    std::uint64_t bit_ = 0;        // bit position in the file
    bool atEnd_ = false;
};

} // namespace tracklens
