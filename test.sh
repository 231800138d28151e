#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite (Qt tests without a display).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"

# The library's suites once more with AddressSanitizer and UndefinedBehaviorSanitizer.
bash "$root/scripts/build.sh" san
(cd "$root/build-san" && ctest --output-on-failure -j 2 | tail -n 3)

# A few seconds of each fuzz target where clang with libFuzzer is there.
probe="$(mktemp -d)"
if command -v clang++ >/dev/null 2>&1 &&
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address - -o "$probe/probe" >/dev/null 2>&1; then
    for target in Numbers Lcd ConfigFile Settings; do
        echo "fuzzing $target"
        bash "$root/bench/fuzz.sh" "$target" 3
    done
fi
rm -rf "$probe"

cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
