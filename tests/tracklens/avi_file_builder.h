#pragma once

// Builds small AVI files from hand-written chunks for the AVI services' tests.

#include <cstdint>
#include <string>
#include <vector>

struct AviTestFrame {
    std::uint32_t size = 0;
    bool keyFrame = false;
};

enum class AviTestIndex { None, Legacy, OpenDml, Both };

struct AviTestFile {
    // Stream types in order; the frames belong to the first "vids".
    std::vector<std::string> streamTypes = {"vids"};
    std::uint32_t scale = 1;
    std::uint32_t rate = 25;
    std::uint32_t length = 0; // frames in the stream header; 0 means the number of frames
    std::vector<AviTestFrame> frames;
    AviTestIndex index = AviTestIndex::Legacy;
    // With OpenDml: the frames are split over this many "ix##" chunks.
    unsigned openDmlChunks = 1;
    // With OpenDml: how many times the super index lists each "ix##" chunk.
    unsigned superIndexRepeats = 1;
};

// Frames of the given sizes, every keyInterval-th one a key frame (from frame 0).
std::vector<AviTestFrame> FramesOfSize(std::uint32_t size, unsigned count, unsigned keyInterval);

std::string BuildAvi(const AviTestFile& file);

// Little-endian 32-bit value as 4 bytes.
std::string Le32(std::uint32_t value);
// A chunk: id, size, data and the pad byte after odd data.
std::string RiffChunk(const std::string& id, const std::string& data);
// A list: "LIST" or "RIFF", its size, type and children.
std::string RiffList(const std::string& id, const std::string& type, const std::string& children);
