#pragma once

// The parts of an AVI file the services use: the first video stream's header and where the
// indexes lie.

#include "open_file.h"
#include "riff_chunks.h"

#include <cstdint>
#include <optional>

namespace tracklens {

struct AviVideoStream {
    unsigned number = 0; // position among the file's streams, as in the chunk ids of its frames
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;             // in frames
    std::optional<ByteSpan> openDmlIndex; // data of the stream's "indx" chunk
};

struct AviLayout {
    std::uint64_t fileSize = 0;
    AviVideoStream video;
    std::optional<ByteSpan> legacyIndex; // data of the "idx1" chunk
};

// Reads the "RIFF AVI " form: the main header "avih" must be present, and the first stream of
// type "vids" in "hdrl" is taken, whatever its number. A list ends early where data that is no
// chunk begins. Nothing when the file is not such an AVI, has no video stream, a chunk reaches
// past its list or the end of the file, or the lists walked hold more than 65536 chunks.
std::optional<AviLayout> ReadAviLayout(const OpenFile& file);

} // namespace tracklens
