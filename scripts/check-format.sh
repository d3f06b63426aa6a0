#!/usr/bin/env bash
# Fails when a C or C++ file of the repository differs from what clang-format makes of it
# (.clang-format); `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "format: every file as clang-format leaves it"
