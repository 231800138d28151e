#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/package.sh: installs what is missing, builds into build/ and makes the Debian package there
# with cpack, the browser's page included: build/vp7sim_VERSION_ARCH.deb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
bash "$root/scripts/build.sh" web
cd "$root/build"
cpack -G DEB
