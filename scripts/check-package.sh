#!/usr/bin/env bash
# The Debian package as a user meets it; needs root (CI runs as root). lintian and the desktop
# checks, then apt installs the package, and from a folder outside the source tree: a job through
# the installed cantova-batch (select an AC3, MP3, add, start) whose MP3 ffprobe reads, the GUI's
# --version without a display, the manual page, and a C program built with pkg-config against
# the installed library. At the end apt-get purge removes the package, and nothing of it may be
# left behind. Usage: scripts/check-package.sh [PACKAGE.deb] (default: build/package/cantova_*.deb)
set -euo pipefail
cd "$(dirname "$0")/.."
SOURCE_TREE="$PWD"
if [ $# -ge 1 ]; then
    DEB="$(realpath "$1")"
else
    DEB="$(realpath build/package/cantova_*.deb)"
fi
[ -f "$DEB" ] || { echo "no package: $DEB (scripts/package.sh makes it)" >&2; exit 1; }
if dpkg-query -W -f='${Status}' cantova 2>/dev/null | grep -q installed; then
    echo "cantova is installed already; this check would replace and purge it" >&2
    exit 1
fi
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
WORK="$(mktemp -d)"
cleanup() {
    if dpkg-query -W -f='${Status}' cantova 2>/dev/null | grep -q installed; then
        apt-get purge -y cantova >/dev/null 2>&1 || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

echo "== lintian $DEB"
lintian --fail-on warning,error "$DEB"

echo "== apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$DEB" >"$WORK/apt.log" ||
    { cat "$WORK/apt.log" >&2; fail "apt-get install"; }
# desktop-file-validate ends with status 0 after most of its complaints.
complaints="$(desktop-file-validate /usr/share/applications/cantova-gui.desktop)"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
appstreamcli validate --no-net /usr/share/metainfo/org.example.cantova.gui.metainfo.xml

mkdir -p "$WORK/home" "$WORK/music"
cd "$WORK"
SOURCE="$WORK/music/VTS_01 DELAY -24ms.ac3"
ffmpeg -v error -nostdin -f lavfi -i "sine=f=440:d=3:r=48000" -f lavfi -i "sine=f=110:d=3:r=48000" \
    -filter_complex "[0][1]amerge=inputs=2,pan=5.1(side)|c0=0.5*c0|c1=0.5*c0|c2=0.4*c0|c3=0.6*c1|c4=0.3*c0|c5=0.3*c0" \
    -c:a ac3 -b:a 448k "$SOURCE"

echo "== run paths of the installed programs and library"
dpkg-query -L cantova | while IFS= read -r path; do [ -f "$path" ] && printf '%s\0' "$path"; done |
    xargs -0 bash "$SOURCE_TREE/tests/install/runpath_check.sh"

echo "== $(command -v cantova-batch): select, MP3, add, start"
[ "$(command -v cantova-batch)" = /usr/bin/cantova-batch ] || fail "cantova-batch is not /usr/bin's"
HOME="$WORK/home" cantova-batch select "$SOURCE" print LbStream1Info.Caption \
    set 'OptAudioCodec(1).Value=1' click CmdAddAudioJobList click cmdStartEncode >"$WORK/batch.out" ||
    { cat "$WORK/batch.out" "$WORK/home/Audio_Stream.log" >&2; fail "the job"; }
grep -qx 'LbStream1Info.Caption=Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz' \
    "$WORK/batch.out" || { cat "$WORK/batch.out" >&2; fail "the library did not read the source"; }
codec="$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of default=nw=1:nk=1 \
    "$WORK/music/Stream1.mp3")"
[ "$codec" = mp3 ] || fail "Stream1.mp3 holds '$codec', not MP3"
echo "Stream1.mp3: $(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$WORK/music/Stream1.mp3") s of MP3"

echo "== cantova-gui --version without a display"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb cantova-gui --version
echo "== man -w cantova-batch"
man -w cantova-batch

echo "== a C program against the installed library"
cat >"$WORK/probe.c" <<'C'
#include <stdio.h>
#include <tracklens/tracklens.h>

int main(int argc, char** argv) {
    AC3_INFO info = {0, 0, 0};
    if (argc != 2 || GetAc3Info(argv[1], &info) != 1) {
        return 1;
    }
    printf("tracklens %s: %d kbit/s\n", get_version(), (int)info.Bitrate);
    return 0;
}
C
# shellcheck disable=SC2046
cc -Wall -Werror -o "$WORK/probe" "$WORK/probe.c" $(pkg-config --cflags --libs tracklens)
"$WORK/probe" "$SOURCE"

echo "== apt-get purge"
dpkg-query -L cantova >"$WORK/files"
DEBIAN_FRONTEND=noninteractive apt-get purge -y cantova >"$WORK/apt.log" ||
    { cat "$WORK/apt.log" >&2; fail "apt-get purge"; }
# A file of the package must be gone, and so must a folder that no other package owns.
left=()
while IFS= read -r path; do
    [ "$path" = "/." ] && continue
    if [ -L "$path" ] || [ -f "$path" ]; then
        left+=("$path")
    elif [ -d "$path" ] && ! dpkg-query -S "$path" >/dev/null 2>&1; then
        left+=("$path")
    fi
done <"$WORK/files"
[ "${#left[@]}" -eq 0 ] || fail "left behind after the purge: ${left[*]}"
echo "package check: $(wc -l <"$WORK/files") paths installed, used and purged without a trace"
