#!/usr/bin/env bash
# The program's main job from start to end: builds the programs it needs, makes a short 5.1 AC3
# sample with ffmpeg and converts it to an MP3 (VBR, 192 kbit/s) through the batch driver with the
# steps a user takes in the window: select the source, choose the target, add the job, start.
# Everything, the transcoder's log included, stays in build/main-job/.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what the job runs: the batch driver, the transcoder and the library (no tests, no GUI).
# shellcheck disable=SC2086
cmake -S . -B build -G Ninja ${CANTOVA_CMAKE_FLAGS:-}
cmake --build build --target cantova-batch Cantova tracklens

WORK="$PWD/build/main-job"
rm -rf "$WORK"
mkdir -p "$WORK"
SOURCE="$WORK/VTS_01 T80 3_2ch 448Kbps DELAY -24ms.ac3"
OUTPUT="$WORK/Stream1.mp3"
LOG="$WORK/Audio_Stream.log"

echo "making a 5-second 5.1 AC3 sample: $SOURCE"
ffmpeg -v error -nostdin -y -f lavfi -i "sine=f=440:d=5:r=48000" -f lavfi -i "sine=f=110:d=5:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=0.5*c0|c1=0.5*c0|c2=0.4*c0|c3=0.6*c1|c4=0.3*c0|c5=0.3*c0" \
    -c:a ac3 -b:a 448k "$SOURCE"

echo "converting it through build/bin/cantova-batch"
# The batch driver writes the transcoder's log to $HOME/Audio_Stream.log; a home of its own
# keeps the demonstration away from the user's log.
HOME="$WORK" build/bin/cantova-batch \
    select "$SOURCE" \
    set 'OptAudioCodec(1).Value=1' \
    set 'CmbMP3Mode.ListIndex=2' \
    set 'CmbBitrateAudio.ListIndex=7' \
    click CmdAddAudioJobList \
    click cmdStartEncode | tee "$WORK/batch.out" | { grep -v '^progress ' || true; }

if [ ! -s "$OUTPUT" ] || grep -q '^message: Job Report' "$WORK/batch.out"; then
    echo "the job failed; the transcoder's log follows" >&2
    cat "$LOG" >&2 2>/dev/null || echo "(no log was written)" >&2
    exit 1
fi
echo
echo "output: $OUTPUT"
echo "log:    $LOG"
ffprobe -v error -show_entries format=duration,bit_rate:stream=codec_name,channels,sample_rate \
    -of default=noprint_wrappers=1 "$OUTPUT"
