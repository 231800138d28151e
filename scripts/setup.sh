#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing need (and any named on the command
# line), only those still missing, so a second run installs nothing, and the browser front end's npm
# packages from its lockfile when they are missing or older than it. Works as root or, through sudo,
# as a normal user.
set -euo pipefail

VP7_PACKAGES=(
    g++ cmake ninja-build pkg-config clang-format ccache
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev libx11-dev libqcustomplot-dev
    libzstd-dev qt6-image-formats-plugins libfmt-dev libqrencode-dev
    mosquitto mosquitto-clients libmosquitto-dev nlohmann-json3-dev libmodbus-dev websockify openssl
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
    xvfb xauth xdotool imagemagick zbar-tools
    dpkg-dev file man-db appstream desktop-file-utils lintian
    emscripten chromium esbuild fonttools python3-brotli
    "$@"
)

missing=()
for pkg in "${VP7_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

# Node.js and npm may come from elsewhere than Debian (a newer Node.js brings its own npm); Debian's
# packages only where there are none.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if ((${#missing[@]} > 0)); then
    echo "Installing missing packages: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        SUDO=()
    elif command -v sudo >/dev/null 2>&1; then
        SUDO=(sudo)
    else
        echo "error: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
        exit 1
    fi
    "${SUDO[@]}" apt-get update
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

# The browser front end's packages, exactly as the lockfile pins them.
web="$(cd "$(dirname "${BASH_SOURCE[0]}")/../web" && pwd)"
if [ -f "$web/package-lock.json" ] &&
    { [ ! -f "$web/node_modules/.package-lock.json" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; }; then
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
fi
