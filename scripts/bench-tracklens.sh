#!/usr/bin/env bash
# Speed of the tracklens probes next to ffprobe on the same files, in one run: the AC3 sync
# search over 256 MiB without a sync word, the probe of an ordinary AC3 file, and filesize2frame
# on two-hour 25 fps AVIs (180,000 frames; idx1 and OpenDML index). The probes alone also run on
# sparse files of several GiB that hold almost nothing (zeros after a header). Builds an
# optimised copy in build-bench/. Usage: scripts/bench-tracklens.sh [ffprobe rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS="${1:-5}"
BUILD=build-bench
for tool in ffmpeg ffprobe; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCANTOVA_BUILD_GUI=OFF \
    -DTRACKLENS_BENCHMARKS=ON >/dev/null
cmake --build "$BUILD" -j2 --target tracklens_bench

DATA="$(mktemp -d)"
trap 'rm -rf "$DATA"' EXIT
# An ordinary AC3 file: one minute of 5.1 at 448 kbit/s.
ffmpeg -v error -nostdin -f lavfi -i "anoisesrc=d=60:c=pink:r=48000:a=0.3" -ac 6 \
    -c:a ac3 -b:a 448k "$DATA/ordinary.ac3"

"$BUILD/bin/tracklens_bench" "$DATA" --benchmark_min_time=1 --benchmark_counters_tabular=true

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo
echo "ffprobe -show_streams on the same files (median of $ROUNDS runs, wall time):"
for name in ordinary.ac3 no-sync-256MiB.ac3 two-hours-idx1.avi two-hours-opendml.avi; do
    for _ in $(seq "$ROUNDS"); do
        start=$(now)
        ffprobe -v error -show_streams "$DATA/$name" >/dev/null 2>&1 || true
        end=$(now)
        awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
    done | median | awk -v n="$name" '{ printf "  %-24s %10.2f ms\n", n, $1 * 1000 }'
done
