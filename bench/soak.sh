#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/soak.sh [HOURS] [SEEDS]: the long random operation at full length (24 simulated hours per seed
# by default, 3 seeds), built with AddressSanitizer and UndefinedBehaviorSanitizer into build-san/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
hours="${1:-24}"
seeds="${2:-3}"
build="$root/build-san"
bash "$root/scripts/build.sh" san sim_tests >/dev/null
start=$(date +%s%N)
VP7_SOAK_HOURS="$hours" VP7_SOAK_SEEDS="$seeds" "$build/tests/sim/sim_tests" \
    --gtest_filter='Soak.*' --gtest_brief=1 | grep -E '^soak:|FAILED|PASSED'
echo "real time: $((($(date +%s%N) - start) / 1000000)) ms"
