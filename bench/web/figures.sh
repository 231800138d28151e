#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/web/figures.sh: the browser front end's figures of doc/performance.md, measured on this machine,
# each beside its floor: stroke speed (two hours of full strokes, written by bench/web/strokes.mjs) of the
# WebAssembly runner under Node and of the page's module in headless Chromium beside the native runner,
# for each way the build can throw (WebAssembly's exceptions, emscripten's JavaScript ones, those with
# Asyncify); the modules' sizes as a server sends them beside the native runner's; and the page in
# Chromium beside a bare page: navigation to the first picture, a key to its pixels, idle CPU.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
here="$root/bench/web"
web="$root/build-web"
site="$web/site"
modes=(js asyncify) # besides the default, wasm, which scripts/build.sh web builds
nice bash "$root/scripts/build.sh" vp7-headless >/dev/null
nice bash "$root/scripts/build.sh" web >/dev/null
# Each other mode in a tree of its own beside build-web/, with build.sh's options for the web (ccache
# shares its objects between the two modes that compile alike).
for mode in "${modes[@]}"; do
    dir="$root/build-web-$mode"
    if [ ! -f "$dir/build.ninja" ]; then
        CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 NODE_PATH=/usr/share/nodejs nice emcmake cmake -S "$root" \
            -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVP7_BUILD_UI=OFF -DVP7_BUILD_PLANT=OFF \
            -DVP7_BUILD_BROKER=OFF -DVP7_BUILD_TESTS=OFF -DVP7_BUILD_BENCH=OFF -DVP7_WEB_EXCEPTIONS="$mode" >/dev/null
    fi
    CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 NODE_PATH=/usr/share/nodejs nice cmake --build "$dir" \
        --target vp7-headless vp7-web >/dev/null
done
treeOf() { if [ "$1" = wasm ]; then echo "$web"; else echo "$root/build-web-$1"; fi; }

# One figure beside its floor: "what  value  floor  ratio".
beside() { awk -v what="$1" -v unit="$2" -v a="$3" -v b="$4" 'BEGIN {
    printf "%-52s %10.1f %-4s %10.1f %-4s %7.2f x\n", what, a, unit, b, unit, a / b }'; }
gzipped() { gzip -9 -c "$1" | wc -c | awk '{printf "%.1f", $1 / 1024}'; }

script="$(mktemp --suffix=.vp7s)"
trap 'rm -f "$script"' EXIT
node "$here/strokes.mjs" --write 2 "$script"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores)"
printf '%-52s %15s %15s %9s\n' "figure" "browser" "floor" "ratio"
# A Node process a mode (two runners of different modes do not share one), each beside the native
# runner in the same interleaved runs.
for mode in wasm "${modes[@]}"; do
    tree="$(treeOf "$mode")"
    strokes="$(node "$here/strokes.mjs" "$script" --native native "$root/build/headless/vp7-headless" \
        --node node "$tree/headless/vp7-headless.js" "$site/zstd" --site "$site" --page page "$tree/web")"
    native="$(awk '$1 == "native" {print $3}' <<<"$strokes")"
    for where in node page; do
        beside "strokes, $where, $mode exceptions (sim. s a s)" x \
            "$(awk -v way="$where" '$1 == way {print $3}' <<<"$strokes")" "$native"
    done
done

stripped="$(mktemp)"
trap 'rm -f "$stripped" "$script"' EXIT
strip -o "$stripped" "$root/build/headless/vp7-headless"
for mode in wasm "${modes[@]}"; do
    tree="$(treeOf "$mode")"
    beside "page module vp7.wasm + vp7.js, $mode (gzip -9)" KiB \
        "$(awk -v a="$(gzipped "$tree/web/vp7.wasm")" -v b="$(gzipped "$tree/web/vp7.js")" 'BEGIN {print a + b}')" \
        "$(gzipped "$stripped")"
done

page="$(node "$here/page.mjs" "$site")"
read -r _ picture paint <<<"$(grep first-picture <<<"$page")"
beside "navigation to first picture (median of 5)" ms "$picture" "$paint"
read -r _ latency worst <<<"$(grep key-to-pixels <<<"$page")"
frameMs=16.7 # one frame at 60 Hz, the goal
beside "mode key's release to its frame (median of 5)" ms "$latency" "$frameMs"
beside "mode key's release to its frame (worst of 5)" ms "$worst" "$frameMs"
read -r _ idle bare seconds <<<"$(grep idle-cpu <<<"$page")"
beside "renderer CPU, idle tab over $seconds s (% of a core)" % \
    "$(awk -v ms="$idle" -v s="$seconds" 'BEGIN {print ms / s / 10}')" \
    "$(awk -v ms="$bare" -v s="$seconds" 'BEGIN {print ms / s / 10}')"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
