#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# desktop_test.sh VP7SIM PROBE HEADLESS: starts the simulator in a real X session (Xvfb), clicks the mode
# key and the increase key with xdotool, compares what the window's display shows with what the headless
# runner reads after the same clicks, closes the window and checks the settings were written; then
# starts it again and ends it with SIGTERM, as a shutdown does, which must write them too.
set -euo pipefail
vp7sim="$1" probe="$2" headless="$3"
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

if [ -z "${VP7_DESKTOP_INNER:-}" ]; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/program/Config" "$work/tmp"
    cp "$vp7sim" "$work/program/"
    printf '[Config]\r\nCheckScreen=0\r\nSprache=English\r\n' >"$work/program/Config/VP7.ini"
    # A temporary folder of its own keeps the single-instance lock away from any other simulator.
    TMPDIR="$work/tmp" VP7_DESKTOP_INNER="$work" \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$@"
    exit
fi

work="$VP7_DESKTOP_INNER"
unset QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }
# poll SECONDS COMMAND...: runs COMMAND until it succeeds, for at most SECONDS; waiting for a state
# rather than for a fixed time keeps the test quick on a fast machine and patient on a loaded one.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# What the display reads after each step, from the headless runner given the same settings.
expected="$(printf '%s\n' 'ini Config CheckScreen 0' 'ini Config Sprache English' start 'print lcd' \
    'press mode' 'release mode' 'wait 1000' 'print lcd' 'press inc' 'release inc' 'wait 4000' 'print lcd' |
    "$headless")"
mapfile -t want <<<"$expected"
[ "${#want[@]}" -eq 3 ] || fail "headless runner printed: $expected"

pid="" window=""
mapped() { window="$(xdotool search --onlyvisible --pid "$pid" | head -n 1)" && [ -n "$window" ]; }
start() { # starts the simulator and waits for its window to be mapped
    "$work/program/vp7sim" &
    pid=$!
    poll 30 mapped || fail "no window at $1"
}
trap 'kill "$pid" 2>/dev/null || true' EXIT
start "the first start"

shot() { import -window "$window" "bmp3:$work/shot.bmp"; }
got=""
display_reads() { # READING: the display at the place found reads READING
    shot && got="$("$probe" lcd "$work/shot.bmp" "$px" "$py")" && [ "$got" = "$1" ]
}
expect_display() {
    poll 10 display_reads "$1" || fail "display reads '$got', expected '$1'"
}

# Where the device picture is in the window: the place its display reads as the runner's, which it
# does once the start-up tick has run.
place=""
found() { shot && place="$("$probe" find "$work/shot.bmp" "${want[0]}")"; }
poll 10 found || fail "the display never read '${want[0]}'"
read -r px py <<<"$place"
echo "device picture at $px $py; ${want[0]}"

click_key() { # mode|dec|inc
    local kx ky
    read -r kx ky <<<"$("$probe" key "$1")"
    xdotool mousemove --window "$window" $((px + kx)) $((py + ky)) click 1
}
click_key mode # manual mode
expect_display "${want[1]}"
echo "after the mode key: ${want[1]}"
click_key inc
expect_display "${want[2]}"
echo "after the increase key: ${want[2]}"

# Waits for the simulator to end by itself and checks it wrote the settings.
ended() { ! kill -0 "$pid" 2>/dev/null; }
ended_with_settings() {
    poll 10 ended || fail "the simulator did not end after $1"
    wait "$pid" || fail "the simulator ended with status $? after $1"
    grep -q '^Controller=' "$work/program/Config/VP7.ini" || fail "settings not written after $1"
    echo "$1: ended, settings written"
}
"$probe" close "$window"
ended_with_settings "closing the window"

start "the second start"
# Until the start-up tick has run the window refuses to close and the settings would not be written.
expect_display "${want[0]}"
rm "$work/program/Config/VP7.ini"
kill -TERM "$pid"
ended_with_settings "SIGTERM"
