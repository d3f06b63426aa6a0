#include "ac3_bit_reader.h"

#include "ac3_sync_search.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace tracklens {

namespace {
// The header of an ordinary file is near its start: the first block is small, later ones large.
constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
} // namespace

Ac3BitReader::Ac3BitReader(int fd) : fd_(fd), block_(kFirstBlockBytes) {
    if (!FetchBlock()) {
        atEnd_ = true;
    }
}

bool Ac3BitReader::FetchBlock() {
    if (blockSize_ == block_.size()) {
        block_.resize(kBlockBytes); // the file goes on past the first block
    }
    const std::uint64_t keepFrom = std::min(bit_ / 8, blockStart_ + blockSize_);
    const std::size_t keep = static_cast<std::size_t>(blockStart_ + blockSize_ - keepFrom);
    std::memmove(block_.data(), block_.data() + (keepFrom - blockStart_), keep);
    blockStart_ = keepFrom;
    blockSize_ = keep;
    const std::uint64_t deliveredBefore = DeliveredEnd();
    while (blockSize_ < block_.size()) {
        const ssize_t got = read(fd_, block_.data() + blockSize_, block_.size() - blockSize_);
        if (got <= 0) {
            break;
        }
        blockSize_ += static_cast<std::size_t>(got);
        fileBytes_ += static_cast<std::uint64_t>(got);
    }
    return DeliveredEnd() > deliveredBefore;
}

unsigned Ac3BitReader::Read(unsigned n) {
    unsigned value = 0;
    while (n > 0) {
        if (bit_ / 8 >= DeliveredEnd()) {
            if (atEnd_ || !FetchBlock()) {
                atEnd_ = true;
                bit_ += n;
                return value << n;
            }
        }
        const unsigned byte = block_[static_cast<std::size_t>(bit_ / 8 - blockStart_)];
        const unsigned unread = 8 - static_cast<unsigned>(bit_ % 8);
        const unsigned take = std::min(n, unread);
        value = (value << take) | ((byte >> (unread - take)) & ((1u << take) - 1));
        bit_ += take;
        n -= take;
    }
    return value;
}

bool Ac3BitReader::SkipToSyncWord() {
    const std::uint64_t start = bit_;
    const std::uint64_t searchLimit = start / 8 + kAc3SyncSearchBytes;
    for (;;) {
        const std::uint64_t delivered = DeliveredEnd();
        const std::uint64_t searchEnd = std::min(delivered, searchLimit);
        const std::uint64_t firstByte = bit_ / 8;
        if (firstByte < searchEnd) {
            const std::uint8_t* from = block_.data() + (firstByte - blockStart_);
            const auto found =
                FindAc3SyncWord(from, static_cast<std::size_t>(searchEnd - firstByte), bit_ % 8);
            if (found) {
                const std::uint64_t wordStart = firstByte * 8 + *found;
                bit_ = wordStart + 16;
                // Past its 32nd bit the search gives up once the stream has ended, which it
                // has as soon as the last whole word is used up, before the window is compared.
                if (wordStart - start > 32 && bit_ == delivered * 8 && (atEnd_ || !FetchBlock())) {
                    atEnd_ = true;
                    return false;
                }
                return true;
            }
            // A word may still start in the last 15 bits searched.
            bit_ = std::max(bit_, searchEnd * 8 - 15);
        }
        if (searchEnd == searchLimit) {
            return false;
        }
        if (atEnd_ || !FetchBlock()) {
            atEnd_ = true;
            return false;
        }
    }
}

} // namespace tracklens
