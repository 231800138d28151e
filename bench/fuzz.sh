#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/fuzz.sh TARGET SECONDS [RUNS]: builds one fuzz target (Settings, ConfigFile, Numbers, Lcd, Runner,
# Snapshot, Classroom, Modbus, LiveFrame, InstanceMessage) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, and runs it for SECONDS (0: no limit) or RUNS inputs, whichever ends first. Crashing inputs land in a
# folder of the run's own, build-fuzz/crashes/TARGET-DATE-TIME-XXXX/; add them to tests as
# regression cases.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target="${1:?usage: bench/fuzz.sh TARGET SECONDS [RUNS]}"
seconds="${2:-60}"
runs="${3:--1}"
build="$root/build-fuzz"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1 # objects shared between clones, as scripts/build.sh
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVP7_FUZZ=ON -DVP7_BUILD_UI=OFF -DVP7_BUILD_TESTS=OFF -DVP7_BUILD_BENCH=OFF >/dev/null
fi
# The build says nothing unless it fails, and then all it said.
if ! built="$(cmake --build "$build" --target "fuzz_$target" 2>&1)"; then
    printf '%s\n' "$built"
    exit 1
fi
mkdir -p "$build/crashes" "$build/corpus/$target"
extra=()
if [ "$target" = ConfigFile ] || [ "$target" = Settings ] || [ "$target" = Runner ] ||
    [ "$target" = Snapshot ] || [ "$target" = Modbus ]; then
    # These keep one running device between inputs, so an input that leaves more allocated than it
    # freed is normal; leaks are still checked when the run ends.
    extra+=(-detect_leaks=0)
fi
if [ "$target" = ConfigFile ] && [ ! -f "$build/corpus/$target/saved.vp7" ]; then
    # A file the device saved itself, so mutations start past the size and signature checks.
    cmake --build "$build" --target vp7-headless >/dev/null
    printf 'start\nfile %s\nmenu Konfigurationspeichern1\n' "$build/corpus/$target/saved.vp7" |
        "$build/headless/vp7-headless" >/dev/null
fi
if [ "$target" = Runner ] && [ -z "$(ls -A "$build/corpus/$target")" ]; then
    # The scenario scripts without their comments, so mutations start from scripts that run, and an
    # exercise starting from a saved state that the input carries (FuzzRunner.cpp).
    for script in "$root"/tests/scenarios/*.vp7s; do
        lines="$(grep -v '^#' "$script")"
        grep -q / <<<"$lines" || printf '%s\n' "$lines" >"$build/corpus/$target/$(basename "$script")"
    done
    printf '%s\n' 'exercise e.vp7x' 'wait 1500' 'press mode' 'release mode' 'choose 1' 'handin' \
        'rewind 500' 'print lcd' '=== e.vp7x' 'title "T" "T"' 'state s.vp7s' 'set LeakageSelect 1' \
        'at 1000 set FrictionSelect 1' 'check Mode = 1 "H" "M"' 'question "Q" "Q"' 'choice "a" "a" correct' \
        'choice "b" "b"' '=== s.vp7s' '# state VP7A 0.1' 'start' 'wait 200' 'set SetPointText 40' \
        'click Enter' 'wait 300' >"$build/corpus/$target/exercise-state"
fi
if [ "$target" = Classroom ] && [ -z "$(ls -A "$build/corpus/$target")" ]; then
    # A command of each kind and a whole status, so mutations start from messages that are read.
    printf '%s' '{"command":"freeze","id":"c-1"}' >"$build/corpus/$target/freeze"
    printf '%s' '{"command":"speed","value":2.5}' >"$build/corpus/$target/speed"
    printf '%s' '{"command":"state","data":"aGVsbG8="}' >"$build/corpus/$target/state"
    printf '%s' '{"command":"fault","option":"FrictionSelect","on":true}' >"$build/corpus/$target/fault"
    printf '%s' '{"command":"message","text":"Bitte warten"}' >"$build/corpus/$target/message"
    printf '%s' '{"command":"exercise","text":"title \"T\" \"T\"\nstart\n"}' >"$build/corpus/$target/exercise"
    printf '%s' '{"command":"exercise","seed":7,"text":"title \"T\" \"T\"\nstart\n"}' >"$build/corpus/$target/seeded"
    printf '%s' '{"alarm1":false,"alarm2":true,"checks":3,"checksHolding":1,"exercise":"E","faults":[1,7],' \
        '"frozen":false,"lcd":{"lower":"  AUT 0","upper":"  37.5 "},"mode":"AUT","online":true,"position":37.5,' \
        '"room":"r1","seat":"s1","setpoint":40.0,"speed":1.0,"timeLeftMs":5000,"variant":"VP7A"}' \
        >"$build/corpus/$target/status"
    printf '%s' '{"online":false,"room":"r1","seat":"s1"}' >"$build/corpus/$target/offline"
    printf '%s' '{"checks":[{"passed":true,"text":"Valve at 40 %"}],"exercise":"E","id":"1796718193000-0001-0a1b2c3d",' \
        '"kind":"handin","passed":2,"question":true,"room":"r1","seat":"s1","total":2}' >"$build/corpus/$target/handin"
    # With the seat's recording of 53 bytes, zstd-packed in base64.
    printf '%s' '{"checks":[],"exercise":"E","id":"h-2","kind":"handin","passed":0,"question":null,"recording":' \
        '{"bytes":53,"zstd":"KLUv/SQ1qQEAc2VlZCA3CmV4ZXJjaXNlIGUudnA3eAp3YWl0IDEwMDAKcHJlc3MgbW9kZQpjaG9vc2UgMQqr/5cm"},' \
        '"room":"r1","seat":"s1","total":0}' >"$build/corpus/$target/recorded"
fi
if [ "$target" = Classroom ] && [ ! -f "$build/corpus/$target/finder-answer" ]; then
    # A seat's question for its room and the station's answer, with its code left out.
    printf '%s' 'VP7-FIND 1 seat07 0123456789abcdef0123456789abcdef' >"$build/corpus/$target/finder-question"
    printf '%s' 'VP7-ROOM 1 0123456789abcdef0123456789abcdef https://trainer-pc:8443/#join=r1/07-2222-2222' \
        '&mqtt=8883&tls=1&fp=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' \
        ' eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee' >"$build/corpus/$target/finder-answer"
fi
if [ "$target" = LiveFrame ] && [ -z "$(ls -A "$build/corpus/$target")" ]; then
    # Small frames of both kinds a seat may send, so mutations start inside the image readers.
    convert -size 24x12 gradient:gray-white "$build/corpus/$target/frame.jpg"
    convert -size 24x12 gradient:gray-white "$build/corpus/$target/frame.png"
fi
if [ "$target" = Snapshot ] && [ ! -f "$build/corpus/$target/saved" ]; then
    # A state the runner saved, behind the byte that makes it a whole file to read.
    cmake --build "$build" --target vp7-headless >/dev/null
    printf 'start\nwait 500\nsavestate %s\n' "$build/corpus/$target/state" | "$build/headless/vp7-headless" >/dev/null
    { printf '\0'; cat "$build/corpus/$target/state"; } >"$build/corpus/$target/saved"
    rm "$build/corpus/$target/state"
fi
work="$(mktemp -d -p "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")" vp7-fuzz-XXXXXX)"
# A folder per run, left only when it holds something: crashing inputs of earlier runs stay to be
# looked at but do not fail this one.
crashes="$(mktemp -d "$build/crashes/$target-$(date +%Y%m%d-%H%M%S)-XXXX")"
trap 'rm -rf "$work"; rmdir "$crashes" 2>/dev/null || true' EXIT
status=0
VP7_FUZZ_DIR="$work" "$build/bench/fuzz/fuzz_$target" -max_total_time="$seconds" -runs="$runs" \
    -artifact_prefix="$crashes/" \
    -print_final_stats=1 "${extra[@]}" "$build/corpus/$target" 2>&1 |
    { grep -E 'stat::number_of_executed_units|Done|ERROR|SUMMARY' || true; } || status=$?
if [ -n "$(ls -A "$crashes")" ]; then
    echo "fuzz_$target: crashing inputs in $crashes/"
    exit 1
fi
# A fault that leaves no input behind (a leak found as the run ends) still fails the run.
[ "$status" -eq 0 ] || { echo "fuzz_$target ended with status $status"; exit 1; }
