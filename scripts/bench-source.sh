# Sourced by the transcoder benchmarks, with BUILD set: checks that the programs are built and the
# engines installed, makes a work folder removed at exit ($WORK), and writes into it the source
# they all convert ($SOURCE): SOURCE_SECONDS (default 60) seconds of 5.1 AC3 at 448 kbit/s, pink
# noise and a tone mixed differently into each channel. Also gives median, of the numbers on
# standard input.
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
ffmpeg -v error -nostdin -f lavfi -i "anoisesrc=d=$SOURCE_SECONDS:c=pink:r=48000:a=0.3" \
    -f lavfi -i "sine=f=220:d=$SOURCE_SECONDS:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=c0+c1|c1=0.8*c0+c1|c2=c1|c3=0.5*c1|c4=0.6*c0|c5=0.5*c0" \
    -c:a ac3 -b:a 448k "$SOURCE"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
