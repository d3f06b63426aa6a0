#!/usr/bin/env bash
# Configures and builds into build/ (if needed) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
