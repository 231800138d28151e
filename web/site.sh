#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# web/site.sh WEB_BUILD NATIVE_BUILD: assembles the browser front end's static files in WEB_BUILD/site:
# the page, the device's module, the desktop's artwork as the plain build in NATIVE_BUILD drew it, the
# fonts the desktop draws text in, the shipped exercises and the npm files the page imports. Everything
# the page loads comes from its own origin.
set -euo pipefail
web="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$web")"
build="$1"
native="$2"
site="$build/site"
modules="$web/node_modules"

rm -rf "$site"
mkdir -p "$site/lib/zstd" "$site/lib/uplot" "$site/fonts" "$site/exercises"
if [ -d "$web/page" ]; then cp -r "$web/page/." "$site/"; fi
cp "$build/web/vp7.js" "$build/web/vp7.wasm" "$web/bridge/packing.mjs" "$site/"
cp "$modules/@bokuweb/zstd-wasm/dist/web/zstd.js" "$modules/@bokuweb/zstd-wasm/dist/web/zstd.wasm" "$site/lib/zstd/"
if [ -d "$modules/uplot/dist" ]; then
    cp "$modules/uplot/dist/uPlot.esm.js" "$modules/uplot/dist/uPlot.min.css" "$site/lib/uplot/"
fi
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$site/fonts/"
if [ -d "$native/ui/web/artwork" ]; then cp -r "$native/ui/web/artwork" "$site/"; fi

# The shipped exercises and their list, which the page offers as the desktop's dialog does.
cp "$root"/exercises/*.vp7x "$site/exercises/"
(cd "$site/exercises" && printf '%s\n' *.vp7x | node -e '
    const names = require("fs").readFileSync(0, "utf8").split("\n").filter(Boolean);
    process.stdout.write(JSON.stringify(names) + "\n");' >index.json)
