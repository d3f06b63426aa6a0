#!/usr/bin/env bash
# Wall time of a run of 8 jobs through the batch driver, one at a time (--jobs 1) against as many
# at once as the machine has cores (--jobs C): each job a 60-second 5.1 AC3 source to MP3 at
# 192 kbit/s VBR with the real transcoder (ffmpeg and lame). The rounds are paired and alternate
# which run goes first, so that each pair meets much the same load on a shared machine; the
# result is the median of the rounds' ratios of wall times, next to the ideal 1/C.
# Target: within 15% of the ideal.
# Note that a single job already keeps more than one core partly busy (ffmpeg decodes while lame
# encodes), so one job at a time does not leave the other cores idle: the script also prints the
# best ratio the jobs' processor time allows, the processor time of a --jobs 1 run over C cores.
# Usage: scripts/bench-parallel-jobs.sh [build dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-5}"
source scripts/bench-source.sh
JOBS=8
CORES="$(nproc)"

STEPS=(select "$SOURCE" set 'OptAudioCodec(1).Value=1' set 'CmbMP3Mode.ListIndex=2'
    set 'CmbBitrateAudio.ListIndex=7')
for _ in $(seq "$JOBS"); do
    STEPS+=(click CmdAddAudioJobList)
done
STEPS+=(click cmdStartEncode)

# One run with the given number of jobs at once; every job must have written its MP3.
run() {
    rm -f "$WORK"/Stream*.mp3
    # The jobs' log goes to $HOME/Audio_Stream.log.
    HOME="$WORK" "$BATCH" --jobs "$1" "${STEPS[@]}" >"$WORK/batch.out" ||
        { echo "the run with --jobs $1 failed:" >&2; cat "$WORK/batch.out" >&2; exit 1; }
    for n in $(seq "$JOBS"); do
        [ -s "$WORK/Stream$n.mp3" ] || { echo "job $n wrote no MP3 (--jobs $1)" >&2; exit 1; }
    done
}
# Prints the wall time of a run and the processor time (user and system) of its processes.
timed() {
    local times="$WORK/times"
    { TIMEFORMAT='%R %U %S'; time run "$1" 2>&3; } 3>&2 2>"$times"
    awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$times"
}

run "$CORES" # warms the caches and checks that a parallel run writes every output
: >"$WORK/ratios"
: >"$WORK/bounds"
for round in $(seq "$ROUNDS"); do
    if [ $((round % 2)) -eq 1 ]; then
        read -r one cpu < <(timed 1)
        read -r many _ < <(timed "$CORES")
    else
        read -r many _ < <(timed "$CORES")
        read -r one cpu < <(timed 1)
    fi
    awk -v m="$many" -v o="$one" 'BEGIN { printf "%.4f\n", m / o }' >>"$WORK/ratios"
    # No run on C cores ends before its processor time over C: the best ratio this work allows.
    awk -v o="$one" -v p="$cpu" -v c="$CORES" \
        'BEGIN { b = p / (c * o); printf "%.4f\n", (b > 1 / c) ? b : 1 / c }' >>"$WORK/bounds"
    echo "round $round: --jobs 1 ${one} s (processor ${cpu} s), --jobs $CORES ${many} s"
done
RATIO=$(median <"$WORK/ratios")
BOUND=$(median <"$WORK/bounds")
awk -v r="$RATIO" -v b="$BOUND" -v c="$CORES" 'BEGIN {
    printf "wall-time ratio --jobs %d / --jobs 1 (median of the rounds): %.3f\n", c, r
    printf "ideal (1/%d): %.3f; target at most %.3f (within 15%%); off the ideal by %.0f%%\n",
        c, 1 / c, 1.15 / c, 100 * (r * c - 1)
    printf "best ratio the jobs processor time allows on %d cores: %.3f\n", c, b
}'
