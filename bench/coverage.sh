#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Line and branch coverage of the library folders: builds into build-cov/ with gcc's --coverage, runs the
# whole test suite (UI tests included) and prints one line per folder and a total.
# COVERAGE_HTML=DIR also writes annotated sources there, to see which lines were missed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cov="$root/build-cov"

bash "$root/scripts/setup.sh" gcovr

if [ ! -f "$cov/build.ninja" ]; then
    cmake -S "$root" -B "$cov" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVP7_COVERAGE=ON -DVP7_BUILD_UI=ON \
        -DVP7_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$cov" -j 2

# Counters from earlier runs would add up; only this run counts.
find "$cov" -name '*.gcda' -delete
status=0
(cd "$cov" && QT_QPA_PLATFORM=offscreen ctest -j 2 --output-on-failure >"$cov/ctest.log" 2>&1) || status=$?
if [ "$status" -eq 0 ]; then
    grep 'tests passed' "$cov/ctest.log"
else # the figures still follow, but what failed is named first
    sed -n '/tests passed/,$p' "$cov/ctest.log"
    echo "(output of the failed tests: $cov/ctest.log)"
fi

# gcov runs once into a tracefile; each folder is a filtered view of it. Exception edges and branches
# the compiler can never take would only dilute the branch figure.
data="$cov/coverage.json"
excludes=(--exclude "$root/tests/" --exclude "$root/bench/" --exclude "$root/build[^/]*/")
gcovr -r "$root" -j 2 --exclude-throw-branches --exclude-unreachable-branches "${excludes[@]}" \
    --json "$data" "$cov"

summary() { # folder label, then filters; prints "label lines% branches%"
    local label="$1"
    shift
    gcovr -r "$root" --add-tracefile "$data" "$@" "${excludes[@]}" --print-summary -o /dev/null |
        awk -v label="$label" '
            /^lines:/    { lines = $2 }
            /^branches:/ { branches = $2 }
            END { printf "%-10s %8s %10s\n", label, lines, branches }'
}
printf "%-10s %8s %10s\n" folder lines branches
folders=(platform model formats sim)
all=()
for folder in "${folders[@]}"; do
    summary "$folder" --filter "$root/$folder/"
    all+=(--filter "$root/$folder/")
done
summary total "${all[@]}"

if [ -n "${COVERAGE_HTML:-}" ]; then
    mkdir -p "$COVERAGE_HTML"
    gcovr -r "$root" --add-tracefile "$data" "${all[@]}" "${excludes[@]}" \
        --html-details "$COVERAGE_HTML/index.html"
    echo "details: $COVERAGE_HTML/index.html"
fi
exit "$status"
