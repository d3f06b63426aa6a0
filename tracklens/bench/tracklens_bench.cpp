// Speed of the tracklens probes on generated files. Usage: tracklens_bench DATA_FOLDER [benchmark
// options]. Files missing from DATA_FOLDER are generated: a 256 MiB file without any AC3 sync
// word, two-hour 25 fps AVIs (180,000 frames) with an idx1 and with an OpenDML index, and sparse
// files that hold almost nothing: 8 GiB of zeros, and AVI headers followed by zeros up to 4 GiB,
// either loose or inside an "idx1". An ordinary AC3 file "ordinary.ac3" is used when present
// (scripts/bench-tracklens.sh encodes one).

#include "ac3_bit_reader.h"
#include "ac3_sync_search.h"
#include "avi_file_builder.h"
#include "tracklens/tracklens.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNoSyncBytes = std::size_t{256} << 20;
constexpr unsigned kTwoHourFrames = 2 * 60 * 60 * 25;

std::string g_folder;

std::string PathOf(const std::string& name) {
    return g_folder + "/" + name;
}

// Random bytes with bits 7 and 3 set: no four zero bits in a row anywhere, so no sync word at
// any bit offset, while the bytes that can sit inside one still come up often.
std::vector<std::uint8_t> NoSyncBytes() {
    std::vector<std::uint8_t> bytes(kNoSyncBytes);
    std::mt19937_64 random(11);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t word = random() | 0x8888888888888888ull;
        for (std::size_t k = 0; k < 8; ++k) {
            bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
    return bytes;
}

void WriteIfMissing(const std::string& path, const auto& makeBytes) {
    if (std::filesystem::exists(path)) {
        return;
    }
    const auto bytes = makeBytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::string TwoHourAvi(AviTestIndex index) {
    AviTestFile file;
    // 10,000 bytes a frame: 1.8 GB in all, so that a target of 2 GiB - 1 walks the whole index.
    file.frames = FramesOfSize(10000, kTwoHourFrames, 250);
    file.index = index;
    file.openDmlChunks = 180;
    return BuildAvi(file);
}

// The bytes, then a hole up to size: the zeros take no disk.
void WriteSparseIfMissing(const std::string& path, const std::string& start, std::uint64_t size) {
    WriteIfMissing(path, [&] { return start; });
    std::filesystem::resize_file(path, size);
}

// The header list of a two-hour AVI in a "RIFF" that reaches to the end of a 4 GiB file.
std::string HeaderOfZerosAvi() {
    AviTestFile file;
    file.length = kTwoHourFrames;
    file.index = AviTestIndex::None;
    std::string avi = BuildAvi(file);
    avi.resize(avi.find("movi") - 8);
    avi.replace(4, 4, Le32(0xFFFFFFF8u));
    return avi;
}

void GenerateFiles() {
    WriteIfMissing(PathOf("no-sync-256MiB.ac3"), NoSyncBytes);
    WriteIfMissing(PathOf("two-hours-idx1.avi"), [] { return TwoHourAvi(AviTestIndex::Legacy); });
    WriteIfMissing(PathOf("two-hours-opendml.avi"),
                   [] { return TwoHourAvi(AviTestIndex::OpenDml); });
    WriteSparseIfMissing(PathOf("zeros-8GiB.ac3"), "", std::uint64_t{8} << 30);
    const std::string header = HeaderOfZerosAvi();
    WriteSparseIfMissing(PathOf("header-then-zeros-4GiB.avi"), header, std::uint64_t{1} << 32);
    // An "idx1" that takes up the rest of the file.
    const auto idx1Size = 0xFFFFFFF0u - static_cast<std::uint32_t>(header.size());
    WriteSparseIfMissing(PathOf("idx1-of-zeros-4GiB.avi"), header + "idx1" + Le32(idx1Size),
                         std::uint64_t{1} << 32);
}

void SyncSearchInMemory(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = NoSyncBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(tracklens::FindAc3SyncWord(bytes.data(), bytes.size(), 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(SyncSearchInMemory)->Unit(benchmark::kMillisecond);

void ProbeAc3File(benchmark::State& state, const std::string& name) {
    std::string path = PathOf(name);
    if (!std::filesystem::exists(path)) {
        state.SkipWithError((path + " is missing").c_str());
        return;
    }
    AC3_INFO info{0, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetAc3Info(path.data(), &info));
    }
    if (state.range(0) != 0) {
        const std::uint64_t searched = std::min<std::uint64_t>(std::filesystem::file_size(path),
                                                               tracklens::kAc3SyncSearchBytes);
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                static_cast<std::int64_t>(searched));
    }
}
// The argument says whether to report bytes per second: the file is searched up to the probe's
// limit.
BENCHMARK_CAPTURE(ProbeAc3File, no_sync_256MiB, "no-sync-256MiB.ac3")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProbeAc3File, zeros_8GiB, "zeros-8GiB.ac3")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ProbeAc3File, ordinary, "ordinary.ac3")->Arg(0)->Unit(benchmark::kMicrosecond);

void SizeToFrame(benchmark::State& state, const std::string& name) {
    std::string path = PathOf(name);
    int32_t frame = -2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            filesize2frame(path.data(), std::numeric_limits<int32_t>::max(), 0, &frame));
    }
    state.counters["frame"] = frame;
}
BENCHMARK_CAPTURE(SizeToFrame, two_hours_idx1, "two-hours-idx1.avi")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SizeToFrame, two_hours_opendml, "two-hours-opendml.avi")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SizeToFrame, idx1_of_zeros_4GiB, "idx1-of-zeros-4GiB.avi")
    ->Unit(benchmark::kMillisecond);

void AviInfo(benchmark::State& state, const std::string& name) {
    std::string path = PathOf(name);
    double fps = 0;
    int32_t frames = 0;
    int32_t seconds = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(get_avi_info(path.data(), &fps, &frames, &seconds));
    }
    state.counters["frames"] = frames;
}
BENCHMARK_CAPTURE(AviInfo, two_hours_idx1, "two-hours-idx1.avi")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(AviInfo, header_then_zeros_4GiB, "header-then-zeros-4GiB.avi")
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    g_folder = argv[1];
    GenerateFiles();
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
