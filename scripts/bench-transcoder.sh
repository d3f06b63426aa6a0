#!/usr/bin/env bash
# Wall time of one job through the transcoder against the same engines run by hand:
# a 60-second 5.1 AC3 source to MP3 at 192 kbit/s VBR (preset standard), several rounds
# alternating the two, medians compared. Usage: scripts/bench-transcoder.sh [build dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-5}"
PROGRAM="$BUILD/bin/Cantova/Cantova"
[ -x "$PROGRAM" ] || { echo "build the transcoder first: $PROGRAM is missing" >&2; exit 1; }
for tool in ffmpeg lame; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
SOURCE="$WORK/source 5.1.ac3"
ffmpeg -v error -nostdin -f lavfi -i "anoisesrc=d=60:c=pink:r=48000:a=0.3" \
    -f lavfi -i "sine=f=220:d=60:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=c0+c1|c1=0.8*c0+c1|c2=c1|c3=0.5*c1|c4=0.6*c0|c5=0.5*c0" \
    -c:a ac3 -b:a 448k "$SOURCE"

now() { date +%s.%N; }
through_program() {
    "$PROGRAM" -core\( -input "$SOURCE" -output "$WORK/program.mp3" -logfilea "$WORK/bench.log" \) \
        -lame\( --alt-preset standard \) >/dev/null
}
by_hand() {
    ffmpeg -v error -nostdin -i "$SOURCE" -ac 2 -f wav - | lame --quiet --preset standard - "$WORK/hand.mp3"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$WORK/program.times"
: >"$WORK/hand.times"
for round in $(seq "$ROUNDS"); do
    start=$(now); through_program; end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$WORK/program.times"
    start=$(now); by_hand; end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$WORK/hand.times"
    echo "round $round: program $(tail -1 "$WORK/program.times") s, by hand $(tail -1 "$WORK/hand.times") s"
done
PROGRAM_MEDIAN=$(median <"$WORK/program.times")
HAND_MEDIAN=$(median <"$WORK/hand.times")
RATIO=$(awk -v p="$PROGRAM_MEDIAN" -v h="$HAND_MEDIAN" 'BEGIN { printf "%.3f", p / h }')
echo "median wall time: program ${PROGRAM_MEDIAN} s, by hand ${HAND_MEDIAN} s, ratio ${RATIO} (target at most 1.05)"
