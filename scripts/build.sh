#!/usr/bin/env bash
# Configures (if needed) and builds everything into build/. CANTOVA_CMAKE_FLAGS adds configure
# options, for example -DCANTOVA_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DBUILD_TESTING=ON ${CANTOVA_CMAKE_FLAGS:-}
cmake --build build
