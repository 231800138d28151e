#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# package_test.sh BUILD SOURCE VERSION [SITE]: builds the Debian package from the build folder BUILD with cpack
# (into a folder of its own) and checks it as a classroom PC meets it: its name, control fields and
# file list; unpacked into a temporary root, the desktop entry and the AppStream data pass their
# validators where installed, the manual pages read without a warning and name every runner command,
# both programs give their version (the simulator's without a display, while another one runs), the
# runner runs a script, and the simulator keeps its settings in the user's folder, never in its program
# folder (this test runs as root, who could write there).
# Lintian, where installed, finds no error.
set -euo pipefail
build="$1" source="$2" version="$3" site="${4:-}"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
work="$(mktemp -d)"
pid=""
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack did not build the package"; }
arch="$(dpkg --print-architecture)"
deb="$work/out/vp7sim_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") but: $(ls "$work/out")"

# The control fields: Debian's names, the project as maintainer, the libraries found by dpkg-shlibdeps
# and what Qt loads at run time.
field() { dpkg-deb -f "$deb" "$1"; }
for pair in Package=vp7sim "Version=$version" "Architecture=$arch" Section=education Priority=optional \
    "Description=training simulator of an electropneumatic valve positioner"; do
    [ "$(field "${pair%%=*}" | head -n 1)" = "${pair#*=}" ] || fail "$(field "${pair%%=*}")"
done
[[ "$(field Maintainer)" =~ ^VP7\ simulator\ project\ \<[^@\>]+@[^@\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
for dependency in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 libqt6network6 libqcustomplot2.1-qt6 \
    libmodbus5 qt6-qpa-plugins fonts-dejavu-core python3; do
    [[ ", $(field Depends)," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $(field Depends)"
done

# What a room on the instructor's PC needs, which a seat's PC does without.
for recommended in mosquitto websockify openssl; do
    [[ ", $(field Recommends)," == *", $recommended,"* ]] || fail "Recommends lacks $recommended: $(field Recommends)"
done

# Every file and link, nothing more: the program folder, the commands, the desktop's files, the
# documentation.
{
    printf '%s\n' ./usr/bin/vp7-headless ./usr/bin/vp7-room ./usr/bin/vp7sim ./usr/lib/vp7sim/Opening.bmp \
        ./usr/lib/vp7sim/vp7sim ./usr/lib/vp7sim/vp7sim.installed ./usr/share/applications/vp7sim.desktop \
        ./usr/share/doc/vp7sim/changelog.gz ./usr/share/doc/vp7sim/copyright ./usr/share/doc/vp7sim/modbus-map.csv \
        ./usr/share/man/man1/vp7-headless.1.gz ./usr/share/man/man1/vp7-room.1.gz \
        ./usr/share/man/man1/vp7sim.1.gz \
        ./usr/share/metainfo/org.example.vp7sim.metainfo.xml \
        ./usr/share/vp7sim/classroom/acl ./usr/share/vp7sim/classroom/mosquitto.conf
    for size in 16 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${size}x$size/apps/vp7sim.png"; done
    for exercise in "$source"/exercises/*.vp7x; do echo "./usr/lib/vp7sim/Exercises/$(basename "$exercise")"; done
    # The browser's page, where its build lies beside this one.
    if [ -n "$site" ] && [ -d "$site" ]; then (cd "$site" && find . -type f | sed 's|^\.|./usr/share/vp7sim/web|'); fi
} | sort >"$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the expected ones (above)"

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ "$(zcat "$root/usr/share/doc/vp7sim/changelog.gz" | sed -n 1p)" = "vp7sim ($version) unstable; urgency=medium" ] ||
    fail "the changelog's newest entry is not $version: write one"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.example.vp7sim.metainfo.xml" ||
    fail "the AppStream data have no release $version: add one"

# A validator that is not installed is left out, and said so.
have() { command -v "$1" >/dev/null || { echo "no $1: not checked"; return 1; }; }
if have desktop-file-validate; then
    desktop-file-validate "$root/usr/share/applications/vp7sim.desktop" || fail "desktop-file-validate"
fi
if have appstreamcli; then
    appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.vp7sim.metainfo.xml" ||
        fail "appstreamcli validate"
    # The tree as well: the desktop entry and the icon the AppStream data name.
    appstreamcli validate-tree --no-net --pedantic "$root" || fail "appstreamcli validate-tree"
fi

# The manual pages as man shows them: no warning from the formatter, and every command of the runner's
# language documented.
for page in vp7sim vp7-headless vp7-room; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man $page warns: $warnings"
done
manual="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/vp7-headless.1.gz" 2>/dev/null)"
commands="$(grep -oE '^ +\{"[a-z]+", -?[0-9]+, -?[0-9]+, When::' "$source/session/script/Runner.cpp" | cut -d'"' -f2)"
[ "$(wc -w <<<"$commands")" -gt 30 ] || fail "the runner's commands were not found in Runner.cpp"
for command in $commands; do
    grep -qE "^ {7}$command( |$)" <<<"$manual" || fail "man vp7-headless does not describe '$command'"
done

# The runner as installed: its version, and a script run.
[ "$("$root/usr/bin/vp7-headless" --version)" = "vp7-headless $version" ] || fail "vp7-headless --version"
[ "$(printf 'start\nprint Istwert\n' | "$root/usr/bin/vp7-headless")" = "Istwert 0.0000" ] ||
    fail "vp7-headless did not run a script"

# The room's command runs as installed.
"$root/usr/bin/vp7-room" setup --help | grep -q -- '--web-cert' || fail "vp7-room setup --help"

# The simulator from /usr/bin keeps its settings in the user's folder. The screen check is off there,
# since the offscreen screen is small; a recorded run starts without the splash picture, which would
# wait for a click before the settings are read. The window refuses to close until its start-up tick
# has run, so SIGTERM (which closes it as a shutdown does) is sent until it ends.
home="$work/home"
user="$home/.local/share/vp7sim"
mkdir -p "$user/Config" "$work/tmp"
printf '[Config]\r\nCheckScreen=0\r\n' >"$user/Config/VP7.ini"
env -u XDG_DATA_HOME HOME="$home" TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/vp7sim" --record "$work/session.vp7s" &
pid=$!
# While it runs, --version and --help answer without a display and without asking it to the front.
for _ in $(seq 100); do [ -e "$work/tmp/VP7Zoriz is still active.lock" ] && break || sleep 0.1; done
simulator() { env -u DISPLAY -u QT_QPA_PLATFORM TMPDIR="$work/tmp" "$root/usr/bin/vp7sim" "$@"; }
[ "$(simulator --version)" = "vp7sim $version" ] || fail "vp7sim --version: $(simulator --version)"
[[ "$(simulator --help)" == *"--exercise <FILE>"* ]] || fail "vp7sim --help: $(simulator --help)"
for _ in $(seq 100); do
    sleep 0.3
    kill -TERM "$pid" 2>/dev/null || break
done
wait "$pid" || fail "vp7sim ended with status $?"
pid=""
grep -q '^Controller=' "$user/Config/VP7.ini" || fail "vp7sim did not write its settings into $user"
[ -d "$user/Data" ] || fail "no Data folder in $user"
[[ "$(head -n 1 "$work/session.vp7s")" == "# vp7sim $version, recorded "* ]] || fail "no recording"
[ ! -e "$root/usr/lib/vp7sim/Config" ] && [ ! -e "$root/usr/lib/vp7sim/Data" ] ||
    fail "vp7sim wrote into its program folder"

if have lintian; then lintian --fail-on error "$deb" || fail "lintian reports errors"; fi
echo "vp7sim_${version}_$arch.deb: control fields, $(wc -l <"$work/files") files, programs and settings as expected"
