#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/figures.sh: the timing and resource figures of the README's Performance section, measured on
# this machine: the desktop program under Xvfb (real clock), one motion tick, and the headless runner.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" >/dev/null
bash "$root/scripts/build.sh" >/dev/null
build="$root/build"
runs=5
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
on_x() { env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" "$@" 2>/dev/null; }

echo "== desktop program under Xvfb, median of $runs runs"
on_x "$build/bench/vp7_qt_timing"
starts=()
for _ in $(seq "$runs"); do starts+=("$(on_x "$build/bench/vp7_qt_timing" --start)"); done
printf '%s\n' "${starts[@]}" | awk '/first paint/ {print $5}' | median | xargs printf 'start to first paint: %s ms\n'
printf '%s\n' "${starts[@]}" | awk '/peak memory/ {print $3}' | median | xargs printf 'peak memory: %s MiB\n'

on_x "$build/bench/vp7_qt_timing" --trend

echo "== one motion tick, median of $runs repetitions"
"$build/bench/vp7_bench" --benchmark_filter='BM_MotionTick$' --benchmark_repetitions="$runs" \
    --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ {print "motion tick: " $2 " " $3}'

echo "== headless runner, an hour of full strokes on the virtual clock, median of $runs runs"
script="$(mktemp)"
trap 'rm -f "$script"' EXIT
{
    echo start
    for _ in $(seq 720); do
        printf 'set SetPointText 100\nclick Enter\nwait 2500\nset SetPointText 0\nclick Enter\nwait 2500\n'
    done
} >"$script"
for _ in $(seq "$runs"); do
    begin=$(date +%s%N)
    "$build/headless/vp7-headless" "$script" >/dev/null
    echo $((($(date +%s%N) - begin) / 1000000))
done | median | awk '{printf "3600 s simulated in %d ms: %.0f simulated seconds per real second\n", $1, 3600000 / $1}'
