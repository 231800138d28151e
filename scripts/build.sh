#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/build.sh [san|noqt] [TARGET...]: configures and builds everything into build/; later runs
# rebuild only what changed, and only TARGETs when given. With "san": the program and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-san/. With "noqt": the toolkit-free tree a
# browser's build compiles, without Qt and the layers that need threads, libmodbus or libmosquitto,
# into build-noqt/; its flags and build type are the plain build's, so ccache hands it the plain
# build's objects. With "web": the browser's front end, the toolkit-free layers compiled to WebAssembly
# with emscripten into build-web/, and its site (the page, its module, the artwork the plain build
# draws, fonts and npm files) assembled in build-web/site/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# ccache (when there) shares objects between clones: paths below the clone are hashed relative to it,
# and the build folder's own path stays out of the hash although -g writes it into the objects.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
configure=(cmake)
site=false
if [ "${1:-}" = san ]; then
    shift
    dir="$root/build-san"
    options=(-DCMAKE_BUILD_TYPE=Debug -DVP7_SANITIZE=ON -DVP7_BUILD_BENCH=OFF)
elif [ "${1:-}" = noqt ]; then
    shift
    dir="$root/build-noqt"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVP7_BUILD_UI=OFF -DVP7_BUILD_PLANT=OFF -DVP7_BUILD_BROKER=OFF)
elif [ "${1:-}" = web ]; then
    shift
    dir="$root/build-web"
    options=(-DCMAKE_BUILD_TYPE=Release -DVP7_BUILD_UI=OFF -DVP7_BUILD_PLANT=OFF -DVP7_BUILD_BROKER=OFF
        -DVP7_BUILD_TESTS=OFF -DVP7_BUILD_BENCH=OFF)
    # Debian's emscripten finds its own JavaScript packages there when Node.js is not Debian's.
    export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
    configure=(emcmake cmake)
    site=true
    # The page shows the desktop's artwork, drawn by the plain build.
    bash "$root/scripts/build.sh" vp7_assets
else
    dir="$root/build"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
# The options a tree was configured with are kept beside it; when this script's options change, the
# tree is configured afresh, so an option taken out falls back to its default instead of lingering in
# the cache. Objects whose compile commands stay the same are not rebuilt.
stamp="$dir/vp7-build-options"
if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${options[*]}" ]; then
    rm -f "$stamp"
    "${configure[@]}" --fresh -S "$root" -B "$dir" -G Ninja "${options[@]}"
    printf '%s\n' "${options[*]}" >"$stamp"
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" "${targets[@]}"
if $site && [ ${#targets[@]} -eq 0 ]; then bash "$root/web/site.sh" "$dir" "$root/build"; fi
