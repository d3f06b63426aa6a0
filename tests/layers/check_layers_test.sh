#!/usr/bin/env bash
# The layer check on a small tree of its own: an include of a lower layer and one of a folder
# that stands apart's own headers pass; an upward include and an include of a layer from a folder
# that stands apart fail, each named with its file and line.
set -euo pipefail
SCRIPT="$1"
TREE="$(mktemp -d)"
trap 'rm -rf "$TREE"' EXIT
mkdir -p "$TREE"/{ui,settings,jobs,transcoder}
printf '#pragma once\n' > "$TREE/ui/control.h"
printf '// [a; b]\n#include "ui/control.h"\n#include <vector>\n' > "$TREE/settings/paths.h"
printf '#include "decimal_text.h"\n' > "$TREE/transcoder/main.cpp"

check() { cmake -DSOURCE_DIR="$TREE" -DLAYERS=ui,settings,jobs -DAPART=transcoder -P "$SCRIPT" 2>&1; }

check >/dev/null || { echo "a clean tree was refused:"; check; exit 1; }

printf '\n#include "jobs/job_queue.h"\n' >> "$TREE/settings/paths.h"
printf '#include  "settings/paths.h"\n' >> "$TREE/transcoder/main.cpp"
if output=$(check); then
    echo "upward includes were let through"; exit 1
fi
for expected in 'settings/paths.h:5: #include "jobs/job_queue.h"' \
                 'transcoder/main.cpp:2: #include  "settings/paths.h"'; do
    grep -qF "$expected" <<<"$output" || { echo "missing: $expected"; echo "$output"; exit 1; }
done
if grep -q 'ui/control.h' <<<"$output"; then
    echo "a downward include was named:"; echo "$output"; exit 1
fi
