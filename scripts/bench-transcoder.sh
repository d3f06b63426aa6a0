#!/usr/bin/env bash
# Wall time of one job through the whole program against the same engines run by hand:
# a 60-second 5.1 AC3 source to MP3 at 192 kbit/s VBR. The program's side is the batch driver
# with a user's steps (select, MP3, VBR, 192 kbit/s, add, start), which builds the command line
# and starts the transcoder, which starts ffmpeg and lame. The hand side runs the very engine
# commands the transcoder logged, as a shell pipeline; both outputs must be the same bytes.
# The program's side includes the transcoder's own passes around the encoding (reading the
# source's layout, checking the written MP3). The first run of each side (the check that both
# write the same MP3) warms the caches; then the rounds alternate which side goes first.
# Usage: scripts/bench-transcoder.sh [build dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-11}"
source scripts/bench-source.sh
OUTPUT="$WORK/Stream1.mp3"
LOG="$WORK/Audio_Stream.log"

through_program() {
    rm -f "$OUTPUT"
    # The job's log goes to $HOME/Audio_Stream.log.
    HOME="$WORK" "$BATCH" select "$SOURCE" set 'OptAudioCodec(1).Value=1' \
        set 'CmbMP3Mode.ListIndex=2' set 'CmbBitrateAudio.ListIndex=7' \
        click CmdAddAudioJobList click cmdStartEncode >"$WORK/batch.out"
    [ -s "$OUTPUT" ] || { echo "the program wrote no output:" >&2; cat "$WORK/batch.out" "$LOG" >&2; exit 1; }
}

# Splits a logged engine command back into its words: one blank between words, a word that
# holds blanks stands in double quotes.
split_logged() {
    local line="$1" word="" quoted=0 c i
    WORDS=()
    for ((i = 0; i < ${#line}; i++)); do
        c="${line:i:1}"
        if [ "$c" = '"' ]; then
            quoted=$((1 - quoted))
        elif [ "$c" = " " ] && [ "$quoted" -eq 0 ]; then
            WORDS+=("$word")
            word=""
        else
            word+="$c"
        fi
    done
    WORDS+=("$word")
}

through_program
# The transcoder also reads the source's layout before and decodes its output after; by hand
# there is only the encoding pass, ffmpeg | lame.
mapfile -t ENGINES < <(sed -n 's/^engine: //p' "$LOG")
ENCODING=-1
for i in "${!ENGINES[@]}"; do
    [[ "${ENGINES[$i]}" == lame\ * ]] && ENCODING=$i
done
[ "$ENCODING" -ge 1 ] && [ "$(grep -c '^engine: lame ' "$LOG")" -eq 1 ] ||
    { echo "expected one encoding pass (ffmpeg | lame) in the log:" >&2; cat "$LOG" >&2; exit 1; }
split_logged "${ENGINES[$ENCODING-1]}"
DECODER=("${WORDS[@]}")
split_logged "${ENGINES[$ENCODING]}"
ENCODER=("${WORDS[@]}")
[ "${DECODER[0]}" = ffmpeg ] && [ "${ENCODER[0]}" = lame ] ||
    { echo "unexpected engines: ${ENGINES[*]}" >&2; exit 1; }
ENCODER[${#ENCODER[@]}-1]="$WORK/hand.mp3" # the transcoder's temporary output name
echo "by hand: ${DECODER[*]} | ${ENCODER[*]}"

by_hand() {
    # ffmpeg's progress lines (descriptor 3) and messages go nowhere, as nobody reads them.
    "${DECODER[@]}" 3>/dev/null 2>/dev/null | "${ENCODER[@]}"
}
by_hand
cmp -s "$OUTPUT" "$WORK/hand.mp3" || { echo "the program's MP3 and the hand-made one differ" >&2; exit 1; }

# One line per run: wall, user and system seconds (the engines' times included).
timed() {
    local TIMEFORMAT='%3R %3U %3S'
    { time "$1" 2>&4; } 4>&2 2>>"$WORK/$1.times"
}
column() { awk -v c="$1" '{ print (c == "cpu") ? $2 + $3 : $1 }' "$2"; }

: >"$WORK/through_program.times"
: >"$WORK/by_hand.times"
: >"$WORK/ratios"
for round in $(seq "$ROUNDS"); do
    if [ $((round % 2)) -eq 1 ]; then
        timed through_program
        timed by_hand
    else
        timed by_hand
        timed through_program
    fi
    program=$(tail -1 "$WORK/through_program.times" | cut -d' ' -f1)
    hand=$(tail -1 "$WORK/by_hand.times" | cut -d' ' -f1)
    awk -v p="$program" -v h="$hand" 'BEGIN { printf "%.4f\n", p / h }' >>"$WORK/ratios"
    echo "round $round: program $program s, by hand $hand s"
done
# The machine may be shared: each round's two runs meet much the same load, so the ratio is
# the median of the rounds' ratios; the medians of the times are shown as well.
PROGRAM_WALL=$(column wall "$WORK/through_program.times" | median)
HAND_WALL=$(column wall "$WORK/by_hand.times" | median)
PROGRAM_CPU=$(column cpu "$WORK/through_program.times" | median)
HAND_CPU=$(column cpu "$WORK/by_hand.times" | median)
RATIO=$(median <"$WORK/ratios")
echo "median wall time: program ${PROGRAM_WALL} s, by hand ${HAND_WALL} s"
echo "median processor time: program ${PROGRAM_CPU} s, by hand ${HAND_CPU} s"
printf 'wall-time ratio (median of the rounds): %.3f (target at most 1.05)\n' "$RATIO"
