#!/usr/bin/env bash
# Time of the job queue's own work through the batch driver (--dry-run: no transcoder runs), for
# folders of 1,000, 5,000 and 10,000 sources (empty .wav and .ac3 files: a source need not be
# valid to be added): adding the folder ("add"), a Start of all its jobs, and deleting every job
# (one CmdDelAudioJobList click per job). Each figure is the median of the rounds; Start and
# Delete are the time of "add" followed by them, less the time of "add" alone. The last column
# divides each count's figure by the previous count's, against the ratio of the counts.
# Targets: each under 2 s at 10,000; doubling the count at most doubles the time (+15%).
# Usage: scripts/bench-queue.sh [build dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-3}"
BATCH="$BUILD/bin/cantova-batch"
[ -x "$BATCH" ] || { echo "build first: $BATCH is missing" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/home"
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# "wall user system" seconds of one driver invocation on the folder; the files it leaves beside the
# sources (job settings) go, so that every round meets the same folder. The user time is the
# program's own work; the system time is mostly the file system creating and removing the
# settings files, which on a busy machine also makes most of the wall time.
timed() {
    local folder="$1"
    shift
    local times="$WORK/times"
    { TIMEFORMAT='%R %U %S'; time HOME="$WORK/home" "$BATCH" --dry-run "$@" >"$WORK/out" 2>&1 3>&-; } 3>&2 2>"$times" || true
    find "$folder" -type f ! -name 's*.wav' ! -name 's*.ac3' -delete
    awk '{ printf "%.3f %.3f %.3f\n", $1, $2, $3 }' "$times"
}

# The difference of two "wall user system" triples.
minus() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); printf "%.3f %.3f %.3f\n", x[1] - y[1], x[2] - y[2], x[3] - y[3] }'; }

previous=()
echo "each step: wall seconds (user + system seconds); ratios of user times to the previous count"
printf "%6s %25s %25s %25s\n" jobs add start delete
for count in 1000 5000 10000; do
    folder="$WORK/sources-$count"
    mkdir "$folder"
    for i in $(seq "$count"); do
        if [ $((i % 2)) -eq 0 ]; then : >"$folder/s$i.wav"; else : >"$folder/s$i.ac3"; fi
    done
    jobs=$(HOME="$WORK/home" "$BATCH" --dry-run add "$folder" print 'LstJobAudio(0).ListCount')
    find "$folder" -type f ! -name 's*.wav' ! -name 's*.ac3' -delete
    [ "${jobs##*=}" = "$count" ] || { echo "add made ${jobs##*=} jobs of $count" >&2; exit 1; }
    deletes=()
    for _ in $(seq "$count"); do deletes+=(click CmdDelAudioJobList); done
    : >"$WORK/add"; : >"$WORK/start"; : >"$WORK/delete"
    for _ in $(seq "$ROUNDS"); do
        add=$(timed "$folder" add "$folder")
        start=$(timed "$folder" add "$folder" click cmdStartEncode)
        delete=$(timed "$folder" add "$folder" "${deletes[@]}")
        echo "$add" >>"$WORK/add"
        minus "$start" "$add" >>"$WORK/start"
        minus "$delete" "$add" >>"$WORK/delete"
    done
    line=$(printf "%6d" "$count")
    figures=()
    for step in add start delete; do
        wall=$(cut -d' ' -f1 "$WORK/$step" | median)
        user=$(cut -d' ' -f2 "$WORK/$step" | median)
        system=$(cut -d' ' -f3 "$WORK/$step" | median)
        figures+=("$user")
        line+=$(printf " %7.3f (%6.3f + %6.3f)" "$wall" "$user" "$system")
    done
    if [ "${#previous[@]}" -gt 0 ]; then
        line+="   x$((count / previous_count)):"
        for k in 0 1 2; do
            line+=$(awk -v n="${figures[$k]}" -v p="${previous[$k]}" \
                'BEGIN { printf " %.2f", (p > 0.001) ? n / p : 0 }')
        done
    fi
    echo "$line"
    previous=("${figures[@]}")
    previous_count=$count
    rm -rf "$folder"
done
