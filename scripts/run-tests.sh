#!/usr/bin/env bash
# Configures and builds into build/ (if needed) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck disable=SC2086
cmake -S . -B build -G Ninja ${CANTOVA_CMAKE_FLAGS:-}
cmake --build build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
