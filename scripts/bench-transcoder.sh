#!/usr/bin/env bash
# Wall and processor time of one job through the whole program against the same engines run by
# hand, and of the gain modes against the plain job: a 10-minute 5.1 AC3 source to MP3 at
# 192 kbit/s VBR. The program's side is the batch driver with a user's steps (select, MP3, VBR,
# 192 kbit/s, add, start), which builds the command line and starts the transcoder, which starts
# ffmpeg and lame and measures the samples ffmpeg hands it for the sound report. The hand side
# runs the engine commands the transcoder logged as a shell pipeline, without what feeds the
# report (a user converting by hand has no report): both outputs must be the same bytes. The
# program's side includes the transcoder's own passes around the encoding (reading the source's
# layout, checking the written MP3). Each round also runs, on the same load, the transcoder
# itself on the batch driver's command line, plain and with each gain mode in the OTA group
# (-g max, -G 1, -hybridgain, -loudness -23 -truepeak -1).
# The first run of each side (the check that both write the same MP3) warms the caches; then
# the rounds alternate the order of the runs. Ratios are medians of the rounds' ratios, of wall
# time and of processor time (user and system, the engines' included): on a shared machine the
# wall times follow the load, the processor times much less. Each side also says how many times
# each of its runs encoded: on some noise (SOURCE_SEED) a gain mode needs another encode, and
# the ratios then show it.
# Usage: scripts/bench-transcoder.sh [build dir] [rounds] [source seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-3}"
SOURCE_SECONDS="${3:-600}"
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

through_program
# The transcoder also reads the source's layout before and checks its output after; by hand
# there is only the encoding pass, ffmpeg | lame.
hand_engines "$LOG"
ENCODER[${#ENCODER[@]}-1]="$WORK/hand.mp3" # the transcoder's temporary output name
echo "by hand: ${DECODER[*]} | ${ENCODER[*]}"
# The transcoder's own command line, as the batch driver gave it.
split_logged "$(sed -n 's/^arguments: //p' "$LOG" | tail -1)"
TRANSCODER=("${WORDS[@]}")

by_hand() {
    # ffmpeg's progress lines (descriptor 3) and messages go nowhere, as nobody reads them.
    "${DECODER[@]}" 3>/dev/null 2>/dev/null | "${ENCODER[@]}"
}
by_hand
cmp -s "$OUTPUT" "$WORK/hand.mp3" || { echo "the program's MP3 and the hand-made one differ" >&2; exit 1; }

# The transcoder on the batch driver's command line, with the OTA group given.
transcoder_with() {
    rm -f "$OUTPUT"
    local words=("${TRANSCODER[@]}")
    [ $# -eq 0 ] || words+=(-ota\( "$@" \))
    "${words[@]}" >"$WORK/transcoder.out" 2>&1 || { cat "$WORK/transcoder.out" "$LOG" >&2; exit 1; }
}
plain() { transcoder_with; }
g_max() { transcoder_with -g max; }
g_after() { transcoder_with -G 1; }
hybrid() { transcoder_with -hybridgain; }
loudness() { transcoder_with -loudness -23 -truepeak -1; }
SIDES=(through_program by_hand plain g_max g_after hybrid loudness)

# One line per run: wall, user and system seconds (the engines' times included).
timed() {
    local TIMEFORMAT='%3R %3U %3S'
    { time "$1" 2>&4; } 4>&2 2>>"$WORK/$1.times"
}
column() { awk -v c="$1" '{ print (c == "cpu") ? $2 + $3 : $1 }' "$2"; }
wall() { tail -1 "$WORK/$1.times" | cut -d' ' -f1; }
cpu() { tail -1 "$WORK/$1.times" | awk '{ print $2 + $3 }'; }
ratio() {
    awk -v a="$(wall "$1")" -v b="$(wall "$2")" 'BEGIN { printf "%.4f\n", a / b }' >>"$WORK/$1-$2.ratios"
    awk -v a="$(cpu "$1")" -v b="$(cpu "$2")" 'BEGIN { printf "%.4f\n", a / b }' >>"$WORK/$1-$2.cpu-ratios"
}

for side in "${SIDES[@]}"; do : >"$WORK/$side.times" >"$WORK/$side.encodes"; done
for round in $(seq "$ROUNDS"); do
    order=("${SIDES[@]}")
    [ $((round % 2)) -eq 1 ] || mapfile -t order < <(printf '%s\n' "${SIDES[@]}" | tac)
    for side in "${order[@]}"; do
        timed "$side"
        # How many times the run encoded: the encoding passes of its job, the last in the log.
        [ "$side" = by_hand ] || awk '/^==== / { n = 0 } /^engine: ffmpeg .*-map \[enc\]/ { n++ } END { print n }' \
            "$LOG" >>"$WORK/$side.encodes"
    done
    ratio through_program by_hand
    for mode in g_max g_after hybrid loudness; do ratio "$mode" plain; done
    line="round $round:"
    for side in "${SIDES[@]}"; do line+=" $side $(wall "$side") s,"; done
    echo "${line%,}"
done
# The machine may be shared: each round's runs meet much the same load, so a ratio is the
# median of the rounds' ratios; the medians of the times are shown as well.
for side in "${SIDES[@]}"; do
    encodes=""
    [ "$side" = by_hand ] || encodes=", encodes per round: $(tr '\n' ' ' <"$WORK/$side.encodes")"
    echo "median $side: wall $(column wall "$WORK/$side.times" | median) s, processor $(column cpu "$WORK/$side.times" | median) s${encodes% }"
done
show() {
    printf '%-40s wall %.3f (target at most %s), processor %.3f (target at most %s)\n' "$1" \
        "$(median <"$WORK/$2.ratios")" "$3" "$(median <"$WORK/$2.cpu-ratios")" "$4"
}
# The sound report's meters may cost at most a tenth of the engines' processor time.
show "program / engines by hand:" through_program-by_hand 1.05 1.10
show "-g max / plain:" g_max-plain 1.5 -
show "-loudness -23 -truepeak -1 / plain:" loudness-plain 1.5 -
show "-G 1 / plain:" g_after-plain 2.3 -
show "-hybridgain / plain:" hybrid-plain 2.5 -
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
