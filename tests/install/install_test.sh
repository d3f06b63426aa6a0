#!/usr/bin/env bash
# An install into a fresh prefix, used as a user would: the programs started through their links
# in bin/ from another folder, loading the prefix's own library by its SONAME (without the
# development link), and the library's development files used through pkg-config and through
# find_package by programs of someone else.
# Usage: install_test.sh BUILD LIBDIR VERSION PROBE.c
set -euo pipefail
BUILD="$1"
LIBDIR_NAME="$2"
VERSION="$3"
PROBE_SOURCE="$4"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
PREFIX="$WORK/prefix"
LIBDIR="$PREFIX/$LIBDIR_NAME"
PROGRAMS="$PREFIX/lib/cantova"
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
expect() { # expect WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log"

for program in cantova-gui cantova-batch; do
    expect "bin/$program" "../lib/cantova/$program" "$(readlink "$PREFIX/bin/$program")"
    expect "run path of $program" "\$ORIGIN/../lib:\$ORIGIN/../${LIBDIR_NAME#lib/}" \
        "$(readelf -d "$PROGRAMS/$program" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')"
done
[ -x "$PROGRAMS/Cantova/Cantova" ] || fail "no transcoder in $PROGRAMS/Cantova"
bash "$(dirname "$0")/runpath_check.sh" "$PREFIX" >/dev/null
expect "SONAME" "libtracklens.so.1" \
    "$(readelf -d "$LIBDIR/libtracklens.so.1" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')"
for page in cantova-gui cantova-batch Cantova; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$PREFIX/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    expect "groff's warnings on $page.1" "" "$warnings"
done
expect "installed desktop entry" "" \
    "$(desktop-file-validate "$PREFIX/share/applications/cantova-gui.desktop")"
# Each PNG icon has the size of its folder: width and height are bytes 16 to 23 of the header.
for size in 16 22 24 32 48 64 128 256; do
    png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/cantova-gui.png"
    expect "size of $png" "$size $size" "$(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')"
done
[ -f "$PREFIX/share/icons/hicolor/scalable/apps/cantova-gui.svg" ] || fail "no scalable icon"

# A 5.1 AC3 stream at 448 kbit/s, in a folder of its own.
mkdir -p "$WORK/music" "$WORK/home" "$WORK/elsewhere"
SOURCE="$WORK/music/track.ac3"
ffmpeg -v error -nostdin -f lavfi -i "sine=f=440:d=0.5:r=48000" -ac 6 -c:a ac3 -b:a 448k "$SOURCE"
EXPECTED_PROBE="1.06 1 448 5 48000"

# The development files, as other programs use them.
mkdir -p "$WORK/consumer"
cp "$PROBE_SOURCE" "$WORK/consumer/probe.c"
export PKG_CONFIG_PATH="$LIBDIR/pkgconfig"
expect "pkg-config --modversion" "1.06" "$(pkg-config --modversion tracklens)"
# shellcheck disable=SC2046
cc -Wall -Werror -o "$WORK/consumer/probe" "$WORK/consumer/probe.c" \
    $(pkg-config --cflags --libs tracklens)
expect "probe built with pkg-config" "$EXPECTED_PROBE" \
    "$(LD_LIBRARY_PATH="$LIBDIR" "$WORK/consumer/probe" "$SOURCE")"
cat >"$WORK/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(probe LANGUAGES C)
find_package(tracklens 1 REQUIRED)
add_executable(probe probe.c)
target_link_libraries(probe PRIVATE tracklens::tracklens)
CMAKE
cmake -S "$WORK/consumer" -B "$WORK/consumer/build" -G Ninja -DCMAKE_PREFIX_PATH="$PREFIX" \
    >"$WORK/consumer.log" || { cat "$WORK/consumer.log" >&2; fail "find_package(tracklens)"; }
cmake --build "$WORK/consumer/build" >>"$WORK/consumer.log" || { cat "$WORK/consumer.log" >&2; fail "build with tracklens::tracklens"; }
expect "probe built with find_package" "$EXPECTED_PROBE" "$("$WORK/consumer/build/probe" "$SOURCE")"

# The programs need no development link: they load the library by its SONAME.
rm "$LIBDIR/libtracklens.so"
cd "$WORK/elsewhere"
export HOME="$WORK/home"
for program in cantova-gui cantova-batch; do
    expect "$program --version" "$program $VERSION" \
        "$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$PREFIX/bin/$program" --version)"
done
expect "Cantova --version" "Cantova $VERSION" "$("$PROGRAMS/Cantova/Cantova" --version)"
"$PREFIX/bin/cantova-batch" --dry-run select "$SOURCE" set 'OptAudioCodec(1).Value=1' \
    print LbStream1Info.Caption command 1 >"$WORK/batch.out"
expect "the source's information line" \
    "LbStream1Info.Caption=Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz" \
    "$(sed -n 1p "$WORK/batch.out")"
case "$(sed -n 2p "$WORK/batch.out")" in
"$PROGRAMS/Cantova/Cantova -core( -input \"$SOURCE\" "*) ;;
*) fail "the job's command does not start the installed transcoder: $(sed -n 2p "$WORK/batch.out")" ;;
esac
echo "installed into $PREFIX and used from $WORK/elsewhere: fine"
