#!/usr/bin/env bash
# Wall and processor time of a run of 8 jobs through the batch driver, as many at once as the
# machine has cores (--jobs C), against the same engines run by hand under xargs -P C, and
# against the batch one job at a time (--jobs 1): each job a 60-second 5.1 AC3 source to MP3
# at 192 kbit/s VBR with the real transcoder (ffmpeg and lame). The hand side runs, for every
# job, the encoding pass the transcoder logged (ffmpeg | lame, without what feeds the sound
# report). The rounds alternate the order of the runs, so that each meets much the same load on
# a shared machine; results are medians of the rounds' ratios, of wall time and of processor
# time (user and system, the engines' included).
# Targets: --jobs C at most 1.15 times the engines by hand under xargs -P C; --jobs C within
# 15% of 1/C of --jobs 1. A single job already keeps more than one core partly busy (ffmpeg
# decodes while lame encodes), so the script also prints the best ratio to --jobs 1 that the
# jobs' processor time allows: that of a --jobs 1 run over C cores.
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
batch() {
    rm -f "$WORK"/Stream*.mp3 "$WORK/Audio_Stream.log"
    # The jobs' log goes to $HOME/Audio_Stream.log.
    HOME="$WORK" "$BATCH" --jobs "$1" "${STEPS[@]}" >"$WORK/batch.out" ||
        { echo "the run with --jobs $1 failed:" >&2; cat "$WORK/batch.out" >&2; exit 1; }
    for n in $(seq "$JOBS"); do
        [ -s "$WORK/Stream$n.mp3" ] || { echo "job $n wrote no MP3 (--jobs $1)" >&2; exit 1; }
    done
}

batch 1 # warms the caches; its log gives the engines of a job
hand_engines "$WORK/Audio_Stream.log"
unset 'ENCODER[${#ENCODER[@]}-1]' # the transcoder's output descriptor: each hand job names its own
export HAND_DECODER="$(printf '%q ' "${DECODER[@]}")" HAND_ENCODER="$(printf '%q ' "${ENCODER[@]}")"
# The same jobs' engines by hand, C at a time.
by_hand() {
    rm -f "$WORK"/hand*.mp3
    seq "$JOBS" | xargs -P "$CORES" -I{} bash -c \
        'eval "$HAND_DECODER" 3>/dev/null 2>/dev/null | eval "$HAND_ENCODER" "$0/hand{}.mp3"' "$WORK"
}
parallel() { batch "$CORES"; }
one_at_a_time() { batch 1; }

# Prints the wall time of a run and its processor time (user and system of its processes).
timed() {
    local times="$WORK/times"
    { TIMEFORMAT='%R %U %S'; time "$1" 2>&3; } 3>&2 2>"$times"
    awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$times"
}

by_hand
for n in $(seq "$JOBS"); do
    cmp -s "$WORK/hand$n.mp3" "$WORK/Stream1.mp3" || { echo "hand job $n differs from the program's MP3" >&2; exit 1; }
done
SIDES=(parallel by_hand one_at_a_time)
: >"$WORK/hand-ratios"
: >"$WORK/hand-cpu-ratios"
: >"$WORK/ratios"
: >"$WORK/bounds"
declare -A WALL CPU
for round in $(seq "$ROUNDS"); do
    order=("${SIDES[@]}")
    [ $((round % 2)) -eq 1 ] || mapfile -t order < <(printf '%s\n' "${SIDES[@]}" | tac)
    for side in "${order[@]}"; do
        read -r "WALL[$side]" "CPU[$side]" < <(timed "$side")
    done
    awk -v a="${WALL[parallel]}" -v b="${WALL[by_hand]}" 'BEGIN { printf "%.4f\n", a / b }' >>"$WORK/hand-ratios"
    awk -v a="${CPU[parallel]}" -v b="${CPU[by_hand]}" 'BEGIN { printf "%.4f\n", a / b }' >>"$WORK/hand-cpu-ratios"
    awk -v a="${WALL[parallel]}" -v b="${WALL[one_at_a_time]}" 'BEGIN { printf "%.4f\n", a / b }' >>"$WORK/ratios"
    # No run on C cores ends before its processor time over C: the best ratio this work allows.
    awk -v o="${WALL[one_at_a_time]}" -v p="${CPU[one_at_a_time]}" -v c="$CORES" \
        'BEGIN { b = p / (c * o); printf "%.4f\n", (b > 1 / c) ? b : 1 / c }' >>"$WORK/bounds"
    echo "round $round: --jobs $CORES ${WALL[parallel]} s (processor ${CPU[parallel]} s)," \
        "by hand -P $CORES ${WALL[by_hand]} s (processor ${CPU[by_hand]} s)," \
        "--jobs 1 ${WALL[one_at_a_time]} s (processor ${CPU[one_at_a_time]} s)"
done
awk -v w="$(median <"$WORK/hand-ratios")" -v p="$(median <"$WORK/hand-cpu-ratios")" \
    -v r="$(median <"$WORK/ratios")" -v b="$(median <"$WORK/bounds")" -v c="$CORES" 'BEGIN {
    printf "--jobs %d / engines by hand under xargs -P %d: wall %.3f (target at most 1.15), processor %.3f\n",
        c, c, w, p
    printf "wall-time ratio --jobs %d / --jobs 1: %.3f; ideal (1/%d): %.3f, target at most %.3f\n",
        c, r, c, 1 / c, 1.15 / c
    printf "best ratio the jobs processor time allows on %d cores: %.3f\n", c, b
}'
