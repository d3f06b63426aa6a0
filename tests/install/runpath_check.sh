#!/usr/bin/env bash
# Every ELF file below the given folders has only run path entries that name a fixed place: an
# absolute folder or one relative to $ORIGIN. An empty entry (as in "a::b" or a trailing ":") or
# a relative one makes the loader search the current directory, so that a program started from a
# folder someone else filled loads that folder's libraries.
# Usage: runpath_check.sh FOLDER...
set -euo pipefail
checked=0
bad=0
while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    checked=$((checked + 1))
    while IFS= read -r path; do
        IFS=':' read -r -a entries <<<"$path"
        [[ "$path" == *: ]] && entries+=("")
        for entry in "${entries[@]}"; do
            case "$entry" in
            /* | '$ORIGIN' | '$ORIGIN/'*) ;;
            *)
                echo "FAILED: $file has the run path entry '$entry' in [$path]" >&2
                bad=$((bad + 1))
                ;;
            esac
        done
    done < <(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p')
done < <(find "$@" -type f -print0)
[ "$checked" -gt 0 ] || {
    echo "FAILED: no ELF file below $*" >&2
    exit 1
}
[ "$bad" -eq 0 ] || exit 1
echo "$checked ELF files, every run path entry fixed"
