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

# Wall seconds of one driver invocation on the folder; the files it leaves beside the sources
# (job settings) go, so that every round meets the same folder.
timed() {
    local folder="$1"
    shift
    local start end
    start=$(date +%s.%N)
    HOME="$WORK/home" "$BATCH" --dry-run "$@" >"$WORK/out" 2>&1 || true
    end=$(date +%s.%N)
    find "$folder" -type f ! -name 's*.wav' ! -name 's*.ac3' -delete
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

previous=()
echo "jobs    add s   start s  delete s   (ratio to the previous count: add start delete)"
for count in 1000 5000 10000; do
    folder="$WORK/sources-$count"
    mkdir "$folder"
    for i in $(seq "$count"); do
        if [ $((i % 2)) -eq 0 ]; then : >"$folder/s$i.wav"; else : >"$folder/s$i.ac3"; fi
    done
    deletes=()
    for _ in $(seq "$count"); do deletes+=(click CmdDelAudioJobList); done
    : >"$WORK/add" ; : >"$WORK/start" ; : >"$WORK/delete"
    for _ in $(seq "$ROUNDS"); do
        add=$(timed "$folder" add "$folder")
        jobs=$(HOME="$WORK/home" "$BATCH" --dry-run add "$folder" print 'LstJobAudio(0).ListCount')
        find "$folder" -type f ! -name 's*.wav' ! -name 's*.ac3' -delete
        [ "${jobs##*=}" = "$count" ] || { echo "add made ${jobs##*=} jobs of $count" >&2; exit 1; }
        start=$(timed "$folder" add "$folder" click cmdStartEncode)
        delete=$(timed "$folder" add "$folder" "${deletes[@]}")
        echo "$add" >>"$WORK/add"
        awk -v a="$add" -v t="$start" 'BEGIN { printf "%.3f\n", t - a }' >>"$WORK/start"
        awk -v a="$add" -v t="$delete" 'BEGIN { printf "%.3f\n", t - a }' >>"$WORK/delete"
    done
    figures=("$(median <"$WORK/add")" "$(median <"$WORK/start")" "$(median <"$WORK/delete")")
    ratios=""
    if [ "${#previous[@]}" -gt 0 ]; then
        for k in 0 1 2; do
            ratios+=$(awk -v n="${figures[$k]}" -v p="${previous[$k]}" \
                'BEGIN { printf " %5.2f", (p > 0.001) ? n / p : 0 }')
        done
        ratios="   (counts x$((count / previous_count)):$ratios)"
    fi
    printf "%5d  %7.3f  %7.3f  %8.3f%s\n" "$count" "${figures[@]}" "$ratios"
    previous=("${figures[@]}")
    previous_count=$count
    rm -rf "$folder"
done
