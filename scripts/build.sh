#!/usr/bin/env bash
# scripts/build.sh [san [TARGET...]]: configures (once) and builds everything into build/; later runs
# rebuild only what changed. With "san": the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-san/ (only TARGETs when given).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${1:-}" = san ]; then
    shift
    dir="$root/build-san"
    options=(-DCMAKE_BUILD_TYPE=Debug -DVP7_SANITIZE=ON -DVP7_BUILD_BENCH=OFF)
else
    dir="$root/build"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja "${options[@]}"
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" "${targets[@]}"
