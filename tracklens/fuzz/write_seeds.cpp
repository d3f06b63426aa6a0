// Writes a few well-formed inputs for the fuzzers to start from: AC3 headers and small AVIs with
// each kind of index. Usage: write_seeds AC3_FOLDER AVI_FOLDER

#include "ac3_stream_builder.h"
#include "avi_file_builder.h"

#include <fstream>
#include <string>

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const std::string ac3 = argv[1];
    const std::string avi = argv[2];
    Write(ac3 + "/byte-aligned", Ac3FileWithHeaderAt(0, {0, 30, 7, 1}));
    Write(ac3 + "/odd-offset", Ac3FileWithHeaderAt(21, {2, 8, 0, 0}));
    AviTestFile file;
    file.frames = FramesOfSize(1000, 30, 5);
    file.streamTypes = {"auds", "vids"};
    Write(avi + "/idx1", BuildAvi(file));
    file.index = AviTestIndex::OpenDml;
    file.openDmlChunks = 3;
    Write(avi + "/opendml", BuildAvi(file));
    return 0;
}
