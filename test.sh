#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds, and runs the whole test suite (Qt tests offscreen, the desktop test
# under Xvfb), once more with the sanitizers.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bash "$root/scripts/setup.sh"

# The committed style holds for every source file.
(cd "$root" && find platform model formats sim session plant classroom headless ui web/bridge tests bench -name '*.cpp' -o -name '*.h' |
    xargs clang-format --dry-run -Werror) || { echo "run clang-format -i on the files above" >&2; exit 1; }

# Every source file states its licence in its first comment line (after a shebang where there is one).
unlicensed="$(cd "$root" && find . \( -path ./.git -o -path './build*' -o -path ./web/node_modules \) -prune -o -type f \( -name '*.cpp' \
    -o -name '*.h' -o -name '*.cmake' -o -name CMakeLists.txt -o -name '*.sh' -o -name '*.mjs' -o -path './web/page/*.js' \
    -o -path ./.ci/run \) -print |
    while read -r file; do
        head -n 2 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' || echo "$file"
    done)"
[ -z "$unlicensed" ] || { printf 'no SPDX-License-Identifier line in:\n%s\n' "$unlicensed" >&2; exit 1; }

bash "$root/scripts/build.sh"

# The browser's front end: the toolkit-free layers compiled to WebAssembly, its page assembled; the plain
# build's suite below runs the goldens through it, carries states both ways and tests the page in Chromium.
bash "$root/scripts/build.sh" web

# The whole suite once more with AddressSanitizer and UndefinedBehaviorSanitizer.
bash "$root/scripts/build.sh" san
(cd "$root/build-san" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 >"$root/build-san/ctest.log" 2>&1) ||
    { cat "$root/build-san/ctest.log"; exit 1; }
grep -A1 'tests passed' "$root/build-san/ctest.log"

# A few seconds of each fuzz target where clang with libFuzzer is there.
probe="$(mktemp -d)"
if command -v clang++ >/dev/null 2>&1 &&
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address - -o "$probe/probe" >/dev/null 2>&1; then
    for target in Numbers Lcd ConfigFile Settings Runner Snapshot Classroom Modbus LiveFrame InstanceMessage; do
        echo "fuzzing $target"
        bash "$root/bench/fuzz.sh" "$target" 3
    done
fi
rm -rf "$probe"

cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
