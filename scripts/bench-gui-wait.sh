#!/usr/bin/env bash
# CPU time the GUI spends while its transcoder jobs run, from /proc/<pid>/stat (utime + stime) of
# the GUI process, taken when the first job's process appears and when the last one has gone,
# under QT_QPA_PLATFORM=offscreen. Two kinds of run: one 5-second job, and as many 5-second jobs
# as the machine has cores, all at once (Jobs at Once). The jobs are the recording test
# transcoder, which sleeps and prints a progress line every 50 ms (more often than the real one),
# so the GUI also reads lines and updates its caption, job table and progress bars.
# Target: under 1% of the wall time.
# Usage: scripts/bench-gui-wait.sh [build dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
ROUNDS="${2:-3}"
DRIVER="$BUILD/bin/gui_wait_bench_driver"
TRANSCODER="$BUILD/bin/recording_transcoder"
for program in "$DRIVER" "$TRANSCODER"; do
    [ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home"
SOURCE="$WORK/film.mpa"
echo stream >"$SOURCE"
TICKS="$(getconf CLK_TCK)"
CORES="$(nproc)"

# utime + stime of a process in clock ticks (fields 14 and 15; the name in field 2 has no blanks).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
now() { date +%s.%N; }
children_of() { cat "/proc/$1/task/$1/children" 2>/dev/null || true; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Rounds of a run of JOBS jobs at once; prints each round and the median share.
measure() {
    local jobs="$1" gui start_cpu start_wall end_cpu end_wall cpu wall share
    : >"$WORK/shares"
    for round in $(seq "$ROUNDS"); do
        HOME="$WORK/home" QT_QPA_PLATFORM=offscreen CANTOVA_TEST_SLEEP_MS=5000 CANTOVA_TEST_PROGRESS=100 \
            "$DRIVER" "$TRANSCODER" "$SOURCE" "$jobs" 2>"$WORK/driver.err" &
        gui=$!
        until [ -n "$(children_of "$gui")" ]; do
            kill -0 "$gui" 2>/dev/null || { cat "$WORK/driver.err" >&2; echo "the GUI ended before its jobs started" >&2; exit 1; }
            sleep 0.005
        done
        start_cpu=$(cpu_ticks "$gui"); start_wall=$(now)
        end_cpu=$start_cpu; end_wall=$start_wall
        while [ -n "$(children_of "$gui")" ]; do
            end_cpu=$(cpu_ticks "$gui"); end_wall=$(now)
            sleep 0.02
        done
        wait "$gui"
        awk -v c=$((end_cpu - start_cpu)) -v hz="$TICKS" -v a="$start_wall" -v b="$end_wall" \
            'BEGIN { printf "%.3f %.2f %.2f\n", c / hz, b - a, 100 * c / hz / (b - a) }' >>"$WORK/shares"
        read -r cpu wall share < <(tail -1 "$WORK/shares")
        echo "  round $round: GUI CPU ${cpu} s over ${wall} s of the jobs = ${share}%"
    done
    echo "  median: $(awk '{ print $3 }' "$WORK/shares" | median)% of the wall time (target: under 1%)"
}

echo "one job:"
measure 1
echo "$CORES jobs at once ($CORES cores):"
measure "$CORES"
