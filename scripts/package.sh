#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/package.sh: installs what is missing, builds into build/ and makes the Debian package there
# with cpack: build/vp7sim_VERSION_ARCH.deb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
cd "$root/build"
cpack -G DEB
