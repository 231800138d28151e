#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/figures.sh: the timing and resource figures of doc/performance.md, measured on this machine,
# each beside the same figure of a bare Qt window (vp7_bare_window: a 1025 x 768 main window with a
# menu bar) where there is one: the desktop program under Xvfb (real clock), one motion tick, input
# latency, the headless runner and a classroom of 30 seats, 5 of them in a browser.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" >/dev/null
bash "$root/scripts/build.sh" >/dev/null
build="$root/build"
starts=9

# Everything on the desktop runs in one X server, so no run pays for starting one.
if [ -z "${VP7_FIGURES_ON_X:-}" ]; then
    exec env -u QT_QPA_PLATFORM VP7_FIGURES_ON_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
# One start of `program`, its launch time taken just before exec: its output lines.
launch() { VP7_BENCH_LAUNCHED=$EPOCHREALTIME exec "$@" 2>/dev/null; }
# One figure of both, lower is better: "what  program  bare  ratio" (or the difference, with "+").
beside() { awk -v what="$1" -v unit="$2" -v a="$3" -v b="$4" -v by="${5:-x}" 'BEGIN {
    printf "%-40s %9.2f %-3s %9.2f %-3s", what, a, unit, b, unit
    if (by == "+") printf " %+8.2f %s\n", a - b, unit; else printf " %8.2f x\n", a / b }'; }

printf '%-40s %13s %13s %11s\n' "figure" "vp7sim" "bare Qt" "ratio"
program=() bare=() programMemory=() bareMemory=()
for _ in $(seq "$starts"); do # interleaved, so a busy moment weighs on both alike
    out="$(launch "$build/bench/vp7_qt_timing" --start)"
    program+=("$(awk '/first paint/ {print $5}' <<<"$out")")
    programMemory+=("$(awk '/peak memory/ {print $3}' <<<"$out")")
    out="$(launch "$build/bench/vp7_bare_window")"
    bare+=("$(awk '/first paint/ {print $5}' <<<"$out")")
    bareMemory+=("$(awk '/peak memory/ {print $3}' <<<"$out")")
done
beside "start to first paint (median of $starts)" ms \
    "$(printf '%s\n' "${program[@]}" | median)" "$(printf '%s\n' "${bare[@]}" | median)"
beside "peak memory (start, four strokes)" MiB \
    "$(printf '%s\n' "${programMemory[@]}" | median)" "$(printf '%s\n' "${bareMemory[@]}" | median)" +

timing="$("$build/bench/vp7_qt_timing" 2>/dev/null)"
idleBare="$("$build/bench/vp7_bare_window" --idle 60 2>/dev/null | awk '/idle/ {print $4}')"
idleProgram="$(awk '/CPU while idle/ {print $4}' <<<"$timing")"
beside "CPU idle over 60 s (% of a core)" % "$idleProgram" "$idleBare" +
beside "CPU per idle second" ms "$(awk '/CPU per idle second/ {print $5}' <<<"$timing")" \
    "$(awk -v p="$idleBare" 'BEGIN {print p * 10}')" +
grep -v idle <<<"$timing"
grep 'syncs per idle' <<<"$timing"
"$build/bench/vp7_qt_timing" --latency 2>/dev/null
"$build/bench/vp7_qt_timing" --trend 2>/dev/null
"$build/bench/vp7_qt_timing" --modbus 2>/dev/null

echo "== one motion tick, median of 5 repetitions"
"$build/bench/vp7_bench" --benchmark_filter='BM_MotionTick$' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ {print "motion tick: " $2 " " $3}'

echo "== a hand-in verified: a 30-minute exercise's recording replayed and judged, median of 5 repetitions"
"$build/bench/vp7_bench" --benchmark_filter='BM_VerifyHandIn$' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null |
    awk '/_median/ {print "hand-in verified: " $2 " " $3 ", " $4 " " $5 " of CPU"}'

echo "== headless runner, median of 5 runs"
script="$(mktemp)"
trap 'rm -f "$script"' EXIT
{
    echo start
    for _ in $(seq 720); do
        printf 'set SetPointText 100\nclick Enter\nwait 2500\nset SetPointText 0\nclick Enter\nwait 2500\n'
    done
} >"$script"
headless() { # milliseconds for one run of the runner on `script`
    local begin=$EPOCHREALTIME
    "$build/headless/vp7-headless" "$1" >/dev/null
    awk -v a="$begin" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.1f\n", (b - a) * 1000}'
}
for _ in 1 2 3 4 5; do headless "$script"; done | median |
    awk '{printf "an hour of full strokes: %.0f ms, %.0f simulated seconds a second\n", $1, 3600000 / $1}'
echo start >"$script"
for _ in 1 2 3 4 5; do headless "$script"; done | median | awk '{printf "start alone: %.1f ms\n", $1}'

echo "== a classroom: 30 seats on one broker of the loopback (5 of them pages in one headless Chromium through" \
    "websockify when scripts/build.sh web built the page), the station offscreen"
"$build/bench/vp7_classroom_load" 2>/dev/null
