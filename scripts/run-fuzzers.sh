#!/usr/bin/env bash
# Builds the tracklens parsers' fuzz targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs each for a bounded time (default 60 s).
# A crash, leak or sanitizer report fails the script. Usage: scripts/run-fuzzers.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
BUILD=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCANTOVA_SANITIZE=ON -DCANTOVA_BUILD_GUI=OFF -DTRACKLENS_FUZZERS=ON >/dev/null
cmake --build "$BUILD" -j2 --target ac3_probe_fuzzer avi_fuzzer audio_tracks_fuzzer \
    write_fuzz_seeds

CORPUS="$BUILD/fuzz-corpus"
mkdir -p "$CORPUS/ac3_probe" "$CORPUS/avi" "$CORPUS/audio_tracks"
"$BUILD/bin/write_fuzz_seeds" "$CORPUS/ac3_probe" "$CORPUS/avi"
# Small containers with two audio tracks each, as the listing's seeds.
for container in mkv mp4 ts vob avi; do
    [ -f "$CORPUS/audio_tracks/seed.$container" ] ||
        ffmpeg -v error -nostdin -f lavfi -i "color=s=32x32:r=5:d=0.4" -f lavfi \
            -i "sine=d=0.4:r=48000" -map 0 -map 1 -map 1 -c:v mpeg2video -c:a:0 ac3 -c:a:1 mp2 \
            "$CORPUS/audio_tracks/seed.$container"
done

mkdir -p "$BUILD/fuzz-artifacts"
for parser in ac3_probe avi audio_tracks; do
    options=(-max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
             -artifact_prefix="$BUILD/fuzz-artifacts/$parser-")
    if [ -f "tracklens/fuzz/$parser.dict" ]; then
        options+=(-dict="tracklens/fuzz/$parser.dict")
    fi
    echo "fuzzing $parser for $SECONDS_EACH s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$BUILD/bin/${parser}_fuzzer" "${options[@]}" "$CORPUS/$parser"
done
