#!/usr/bin/env bash
# Speed of choosing a container as the source: the media library's ListAudioTracks on a 2 GB MKV
# (warm, and with the file's pages dropped from the cache before each call), the batch driver's
# "select" of it against that of a small AC3 file (the program's own start), and folder adds of
# 100, 300 and 1,000 small MKVs (each file selected, its tracks listed and a job added), whose
# time per file stays the same when the add is linear. Uses the build in BUILD (default build/).
# Usage: scripts/bench-tracks.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS="${1:-9}"
BUILD="${BUILD:-build}"
for tool in ffmpeg python3; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
cmake --build "$BUILD" --target cantova-batch tracklens >/dev/null
BATCH="$BUILD/bin/cantova-batch"
LIBRARY="$BUILD/lib/libtracklens.so.1"

DATA="$(mktemp -d)"
trap 'rm -rf "$DATA"' EXIT
export HOME="$DATA/home"
mkdir -p "$HOME"

# 2 GB: 28 s of raw 1080p video (3.1 MB a frame) with an AC3 5.1 and an AAC stereo track.
ffmpeg -v error -nostdin -f lavfi -i "color=s=1920x1080:r=25:d=28" -f lavfi \
    -i "sine=f=440:d=28:r=48000" -f lavfi -i "sine=f=1000:d=28:r=48000" -map 0 -map 1 -map 2 \
    -c:v rawvideo -pix_fmt yuv420p -c:a:0 ac3 -ac:a:0 6 -c:a:1 aac "$DATA/big.mkv"
ffmpeg -v error -nostdin -f lavfi -i "sine=f=440:d=1:r=48000" -ac 6 -c:a ac3 "$DATA/small.ac3"
ffmpeg -v error -nostdin -f lavfi -i "color=s=320x240:r=25:d=1" -f lavfi \
    -i "sine=f=440:d=1:r=48000" -f lavfi -i "sine=f=1000:d=1:r=48000" -map 0 -map 1 -map 2 \
    -c:v mpeg4 -c:a:0 ac3 -ac:a:0 6 -c:a:1 aac "$DATA/episode.mkv"
echo "big.mkv: $(stat -c %s "$DATA/big.mkv") bytes"

python3 - "$LIBRARY" "$DATA/big.mkv" "$ROUNDS" <<'PY'
import ctypes, os, statistics, sys, time
library, path, rounds = ctypes.CDLL(sys.argv[1]), sys.argv[2].encode(), int(sys.argv[3])
class Track(ctypes.Structure):
    _fields_ = [("Number", ctypes.c_int32), ("Codec", ctypes.c_char * 16),
                ("Channels", ctypes.c_int32), ("LfeChannels", ctypes.c_int32),
                ("Layout", ctypes.c_char * 8), ("SampleRate", ctypes.c_int32),
                ("Bitrate", ctypes.c_int32), ("Language", ctypes.c_char * 8),
                ("Title", ctypes.c_char * 128), ("IsDefault", ctypes.c_int32),
                ("StartMs", ctypes.c_int32), ("DurationMs", ctypes.c_int32)]
tracks, count = (Track * 64)(), ctypes.c_int32()
def timed(cold):
    if cold:
        fd = os.open(path, os.O_RDONLY)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        os.close(fd)
    start = time.perf_counter()
    assert library.ListAudioTracks(path, tracks, 64, ctypes.byref(count)) == 1
    return (time.perf_counter() - start) * 1000
for cold in (False, True):
    times = [timed(cold) for _ in range(rounds)]
    print("ListAudioTracks, 2 GB MKV, %s: median %.2f ms, max %.2f ms (%d tracks)"
          % ("pages dropped" if cold else "warm", statistics.median(times), max(times),
             count.value))
PY

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for source in small.ac3 big.mkv; do
    for _ in $(seq "$ROUNDS"); do
        start=$(now)
        "$BATCH" select "$DATA/$source" print LbStream1Info.Caption >/dev/null
        end=$(now)
        awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
    done | median | awk -v n="$source" '{ printf "cantova-batch select %-10s median %8.1f ms\n", n, $1 * 1000 }'
done

for count in 100 300 1000; do
    folder="$DATA/season-$count"
    mkdir -p "$folder"
    for i in $(seq -w 1 "$count"); do cp "$DATA/episode.mkv" "$folder/e$i.mkv"; done
    start=$(now)
    "$BATCH" add "$folder" commands line >/dev/null
    end=$(now)
    awk -v a="$start" -v b="$end" -v n="$count" \
        'BEGIN { printf "cantova-batch add (folder of %4d MKVs): %8.1f ms, %.2f ms a file\n", n, (b - a) * 1000, (b - a) * 1000 / n }'
    rm -rf "$folder"
done
