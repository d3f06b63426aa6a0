# Sourced by the transcoder benchmarks, with BUILD set: checks that the programs are built and the
# engines installed, makes a work folder removed at exit ($WORK), and writes into it the source
# they all convert ($SOURCE): SOURCE_SECONDS (default 60) seconds of 5.1 AC3 at 448 kbit/s, pink
# noise and a tone mixed differently into each channel. The noise comes from SOURCE_SEED (default
# 1), so that runs on different days measure the same audio: how a gain mode's first encode lands
# depends on the noise (about one source in 40 needs a second one), and with it the ratios. Also
# gives median, of the numbers on standard input.
BATCH="$BUILD/bin/cantova-batch"
# The batch driver loads the probe library when a source is selected; without it, it ends with 2.
[ -x "$BATCH" ] && [ -x "$BUILD/bin/Cantova/Cantova" ] && ls "$BUILD"/lib/libtracklens.so.1 >/dev/null 2>&1 ||
    { echo "build first: ninja -C $BUILD cantova-batch Cantova tracklens" >&2; exit 1; }
for tool in ffmpeg lame; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
SOURCE="$WORK/source.ac3"
SOURCE_SECONDS="${SOURCE_SECONDS:-60}"
ffmpeg -v error -nostdin -f lavfi -i "anoisesrc=d=$SOURCE_SECONDS:c=pink:r=48000:a=0.3:seed=${SOURCE_SEED:-1}" \
    -f lavfi -i "sine=f=220:d=$SOURCE_SECONDS:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=c0+c1|c1=0.8*c0+c1|c2=c1|c3=0.5*c1|c4=0.6*c0|c5=0.5*c0" \
    -c:a ac3 -b:a 448k "$SOURCE"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Splits a logged line back into its words (into WORDS): one blank between words, a word that
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

# The engines of the one encoding pass (ffmpeg | lame) of the last job in a transcoder's log, as
# a user would run them by hand: into DECODER and ENCODER, the sound report's taps taken out of
# ffmpeg's command (the branches split off to the labels [src] and [out], and the outputs that
# write them to the transcoder's descriptors), lame's output left to the caller (its last word).
hand_engines() {
    local log="$1" job engines encoding=-1 i
    job="$(awk '/^==== / { text = "" } { text = text $0 "\n" } END { printf "%s", text }' "$log")"
    mapfile -t engines < <(sed -n 's/^engine: //p' <<<"$job")
    for i in "${!engines[@]}"; do
        [[ "${engines[$i]}" == lame\ * ]] && encoding=$i
    done
    [ "$encoding" -ge 1 ] && [ "$(grep -c '^engine: lame ' <<<"$job")" -eq 1 ] ||
        { echo "expected one encoding pass (ffmpeg | lame) in the log:" >&2; echo "$job" >&2; exit 1; }
    # The transcoder reads the source it opened at the start through its descriptor; by hand,
    # ffmpeg opens it by name.
    local input
    input="$(sed -n 's|^input: \(.*\), read as /proc/self/fd/[0-9]* (.*|\1|p' <<<"$job" | tail -1)"
    split_logged "${engines[$encoding-1]}"
    DECODER=()
    for ((i = 0; i < ${#WORDS[@]}; i++)); do
        if [ "${WORDS[$i]}" = -map ] && [[ "${WORDS[$i+1]}" == \[src\] || "${WORDS[$i+1]}" == \[out\] ]]; then
            i=$((i + 6)) # -map [label] -c:a pcm_f32le -f wav pipe:N
            continue
        fi
        if [[ "${WORDS[$i]}" == file:/proc/self/fd/* ]]; then
            DECODER+=("file:$input")
            continue
        fi
        DECODER+=("$(printf '%s' "${WORDS[$i]}" | sed 's/,asplit=2\[src\]\[p\];\[p\]anull//; s/,asplit=2\[out\]\[e\];\[e\]anull//')")
    done
    split_logged "${engines[$encoding]}"
    ENCODER=("${WORDS[@]}")
    [ "${DECODER[0]}" = ffmpeg ] && [ "${ENCODER[0]}" = lame ] ||
        { echo "unexpected engines: ${engines[*]}" >&2; exit 1; }
}
