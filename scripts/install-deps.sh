#!/usr/bin/env bash
# Installs the Debian packages needed to build, test, run and package the project: besides the
# compilers, libraries and engines, clang-format for the format check, scdoc and rsvg-convert
# (librsvg2-bin) to make the manual pages and icons, and desktop-file-utils, appstream, lintian
# and file (for cpack's dependency search) to check the desktop files and the Debian package;
# python3 for the tests that parse JSON; dbus-daemon for the notification test's private bus;
# the FFmpeg libraries' development files for the media library's listing of audio tracks.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config binutils \
    libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev qt6-base-dev-tools libgl-dev \
    xvfb xauth locales dbus-daemon \
    clang libclang-rt-dev \
    ffmpeg lame vorbis-tools \
    libavformat-dev libavcodec-dev libavutil-dev \
    clang-format \
    scdoc librsvg2-bin man-db \
    desktop-file-utils appstream lintian file \
    python3

# A locale with a decimal comma, for the tests of locale-dependent number forms.
if ! locale -a | grep -qi '^de_DE\.utf-\?8$'; then
    if [ -f /etc/locale.gen ]; then
        $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen
    else
        $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
fi
