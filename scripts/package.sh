#!/usr/bin/env bash
# Builds the Debian package cantova_<version>_<arch>.deb from the normal build in build/ (built
# first if needed) into build/package/, checks it with lintian, which must find no warning or
# error, and prints its path. Install it with
#   sudo apt install ./build/package/cantova_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh >/dev/null
rm -f build/package/cantova_*.deb
cpack --config build/CPackConfig.cmake -B build/package >build/package.log ||
    { cat build/package.log >&2; exit 1; }
DEB="$(ls "$PWD"/build/package/cantova_*.deb)"
lintian --fail-on warning,error "$DEB" >&2
echo "$DEB"
