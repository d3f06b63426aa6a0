#!/usr/bin/env bash
# Takes the README's pictures under docs/screenshots/: the main window during a run of three MP3
# jobs, the advanced panel and the Command Lines window, and the track list of an MKV source open
# at scale 1.5, from the GUI's own windows with the
# transcoder Cantova and its engines, on an X server of its own (xvfb-run, 1280x800). The sources
# are 5.1 AC3 streams that ffmpeg makes, ten minutes each, so that the run is well under way when
# the picture is taken. Then the job table with five jobs of different kinds, during and after
# their run, and the loudness picture of its Ogg job, at scale factor 1.5 on a 1920x1080 screen,
# from a shorter 5.1 AC3 stream whose level swells and falls and an MPEG audio stream. Usage: scripts/screenshots.sh [BUILD_DIR] (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ninja -C "$BUILD" screenshot_driver track_list_shot job_table_shot_driver Cantova tracklens >/dev/null
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home" "$WORK/music" docs/screenshots
for take in "VTS_01 DELAY -24ms" "VTS_02 DELAY 0ms" "VTS_03 DELAY 16ms"; do
    ffmpeg -v error -nostdin -f lavfi -i "sine=f=440:d=600:r=48000" -f lavfi -i "sine=f=110:d=600:r=48000" \
        -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=0.5*c0|c1=0.5*c0|c2=0.4*c0|c3=0.6*c1|c4=0.3*c0|c5=0.3*c0" \
        -c:a ac3 -b:a 448k "$WORK/music/$take.ac3"
done
HOME="$WORK/home" xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
    "$BUILD/bin/screenshot_driver" docs/screenshots "$PWD/$BUILD/bin/Cantova/Cantova" \
    "$WORK"/music/*.ac3
# A film with three audio tracks: AC3 5.1 (English), AAC stereo (German, the default, with a
# title) and FLAC stereo (French).
ffmpeg -v error -nostdin -f lavfi -i "color=s=320x240:r=25:d=5" -f lavfi -i "sine=f=440:d=5:r=48000" \
    -f lavfi -i "sine=f=1000:d=5:r=48000" -f lavfi -i "sine=f=2500:d=5:r=48000" \
    -map 0 -map 1 -map 2 -map 3 -c:v mpeg4 -c:a:0 ac3 -ac:a:0 6 -c:a:1 aac -ac:a:1 2 \
    -c:a:2 flac -ac:a:2 2 -metadata:s:a:0 language=eng -metadata:s:a:1 language=ger \
    -metadata:s:a:1 title=Commentary -metadata:s:a:2 language=fre -disposition:a:0 0 \
    -disposition:a:1 default "$WORK/music/film.mkv"
HOME="$WORK/home" xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96" \
    "$BUILD/bin/track_list_shot" docs/screenshots/track-list.png "$WORK/music/film.mkv"

mkdir -p "$WORK/short" "$WORK/home2"
ffmpeg -v error -nostdin -f lavfi -i "sine=f=440:d=90:r=48000" -f lavfi -i "sine=f=110:d=90:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=0.5*c0|c1=0.5*c0|c2=0.4*c0|c3=0.6*c1|c4=0.3*c0|c5=0.3*c0,volume='0.1+0.9*abs(sin(PI*t/30))':eval=frame" \
    -c:a ac3 -b:a 448k "$WORK/short/VTS_04 DELAY -24ms.ac3"
ffmpeg -v error -nostdin -f lavfi -i "sine=f=330:d=90:r=48000" -ac 2 -c:a mp2 -b:a 192k \
    "$WORK/short/Interview.mpa"
HOME="$WORK/home2" QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1920x1080x24 -dpi 96" \
    "$BUILD/bin/job_table_shot_driver" docs/screenshots "$PWD/$BUILD/bin/Cantova/Cantova" \
    "$WORK/short/VTS_04 DELAY -24ms.ac3" "$WORK/short/Interview.mpa"
