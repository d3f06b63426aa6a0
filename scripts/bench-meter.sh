#!/usr/bin/env bash
# Processor time of the sound report's meter (transcoder/pcm_meter.h) for one minute of 48 kHz
# audio, 5.1 and stereo, beside the processor time ffmpeg takes to decode one minute of 5.1
# AC3 at 448 kbit/s to the same float samples (what the meter watches). Builds an optimised copy
# in build-bench/. Usage: scripts/bench-meter.sh [decoding rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS="${1:-5}"
BUILD=build-bench
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCANTOVA_BUILD_GUI=OFF \
    -DCANTOVA_TRANSCODER_BENCHMARKS=ON >/dev/null
cmake --build "$BUILD" -j2 --target pcm_meter_bench

DATA="$(mktemp -d)"
trap 'rm -rf "$DATA"' EXIT
ffmpeg -v error -nostdin -f lavfi -i "anoisesrc=d=60:c=pink:r=48000:a=0.3" -ac 6 \
    -c:a ac3 -b:a 448k "$DATA/minute.ac3"

"$BUILD/bin/pcm_meter_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
decode() {
    local TIMEFORMAT='%U %S'
    { time ffmpeg -v error -nostdin -i "$DATA/minute.ac3" -f f32le - >/dev/null 2>&4; } 4>&2 2>&1 |
        awk '{ printf "%.3f\n", $1 + $2 }'
}
echo
echo "ffmpeg decoding the minute of 5.1 AC3 to float (median of $ROUNDS runs):" \
    "$(for _ in $(seq "$ROUNDS"); do decode; done | median | awk '{ printf "%.0f", $1 * 1000 }')" \
    "ms of processor time (user + system)"
