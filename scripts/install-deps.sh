#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and run the project.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config binutils \
    libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev qt6-base-dev-tools libgl-dev \
    xvfb xauth locales \
    clang libclang-rt-dev \
    ffmpeg lame vorbis-tools
